#include "util/text.h"

#include <algorithm>

namespace hw::util {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::string TrimBlanks(std::string_view text) {
    return std::string(BlanksTrimmed(text));
}

std::string_view BlanksTrimmed(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::string TextBetween(std::string_view text, std::string_view opener, std::string_view closer) {
    std::size_t open = text.find(opener);
    if (open == std::string_view::npos) return {};
    std::size_t start = open + opener.size();
    if (start >= text.size()) return {};
    std::size_t close = text.find(closer, start);
    if (close == std::string_view::npos) return {};
    return std::string(text.substr(start, close - start));
}

std::string TextBeforeLastChar(std::string_view text, char character) {
    std::size_t at = text.rfind(character);
    return at == std::string_view::npos ? std::string() : std::string(text.substr(0, at));
}

std::string TextBefore(std::string_view text, std::string_view delimiter) {
    std::size_t at = text.find(delimiter);
    return at == std::string_view::npos ? std::string() : std::string(text.substr(0, at));
}

std::string TextAfter(std::string_view text, std::string_view delimiter) {
    std::size_t at = text.find(delimiter);
    return at == std::string_view::npos ? std::string() : std::string(text.substr(at + delimiter.size()));
}

std::string UpperCaseAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), UpperAscii);
    return upper;
}

std::string ReplaceText(std::string_view text, std::string_view search, std::string_view replacement,
                        bool ignoreCase) {
    if (search.empty() || text.empty()) return std::string(text);
    // Upper-casing ASCII keeps every byte in place, so positions found in the copies hold for the text.
    const std::string upperText = ignoreCase ? UpperCaseAscii(text) : std::string();
    const std::string upperSearch = ignoreCase ? UpperCaseAscii(search) : std::string();
    const std::string_view haystack = ignoreCase ? std::string_view(upperText) : text;
    const std::string_view needle = ignoreCase ? std::string_view(upperSearch) : search;

    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = haystack.find(needle); at != std::string_view::npos;
         at = haystack.find(needle, from)) {
        result.append(text.substr(from, at - from));
        result.append(replacement);
        from = at + needle.size();
    }
    result.append(text.substr(from));
    return result;
}

std::string ReplaceChar(std::string_view text, char character, std::string_view replacement) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c == character)
            result.append(replacement);
        else
            result.push_back(c);
    }
    return result;
}

int SplitText(std::string_view text, char separator, std::vector<std::string>& pieces) {
    int count = 1;
    std::size_t start = 0;
    while (true) {
        std::size_t at = text.find(separator, start);
        std::size_t end = at == std::string_view::npos ? text.size() : at;
        if (end > start) pieces.emplace_back(text.substr(start, end - start));
        if (at == std::string_view::npos) break;
        ++count;
        start = at + 1;
    }
    return count;
}

} // namespace hw::util
