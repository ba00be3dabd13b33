// Text helpers on single-byte text: trimming, cutting at delimiters, replacing and splitting.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hw::util {

// Without blanks and tabs at either end; CR, LF and other control characters stay.
std::string TrimBlanks(std::string_view text);
// The same, as a view into text.
std::string_view BlanksTrimmed(std::string_view text);

// The text between the first opener and the first closer after it; empty when either is missing or
// nothing follows the opener.
std::string TextBetween(std::string_view text, std::string_view opener, std::string_view closer);

// The text before the last occurrence of the character; empty when it does not occur.
std::string TextBeforeLastChar(std::string_view text, char character);

// The text before / after the first occurrence of the delimiter; empty when it does not occur.
std::string TextBefore(std::string_view text, std::string_view delimiter);
std::string TextAfter(std::string_view text, std::string_view delimiter);

// Every occurrence replaced left to right, without overlaps and without rescanning replacements. With
// ignoreCase, ASCII letters match regardless of case and unmatched parts keep their own spelling.
std::string ReplaceText(std::string_view text, std::string_view search, std::string_view replacement,
                        bool ignoreCase);

std::string ReplaceChar(std::string_view text, char character, std::string_view replacement);

// Appends every non-empty piece between separators to pieces; returns the number of separators plus one.
int SplitText(std::string_view text, char separator, std::vector<std::string>& pieces);

// ASCII letters upper-cased, every other byte kept (names are compared this way).
std::string UpperCaseAscii(std::string_view text);

} // namespace hw::util
