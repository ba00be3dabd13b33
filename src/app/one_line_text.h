// Texts that a list shows on one line: each line break becomes a visible mark, so rows keep one height.
#pragma once

#include <string>
#include <string_view>

namespace hw::app {

// "↵" in UTF-8.
inline constexpr std::string_view kLineBreakMark = "\xE2\x86\xB5";

bool HasLineBreak(std::string_view text);
// The text with each CR LF, lone CR and lone LF replaced by the mark; other bytes stay as they are.
std::string OneLineText(std::string_view text);

} // namespace hw::app
