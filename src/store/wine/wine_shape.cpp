#include "store/wine/wine_shape.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace hw::store::wine {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// Bytes that no UTF-8 text holds: NUL, and those that can start no sequence.
bool IsNonText(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte == 0 || byte == 0xC0 || byte == 0xC1 || byte >= 0xF5;
}

// The offset of the first byte that is no text, or npos. Whole blocks are tested without branches first,
// which the compiler turns into vector code, since such bytes are rare.
std::size_t FirstNonText(std::string_view text) {
    constexpr std::size_t kBlock = 4096;
    std::size_t start = 0;
    for (; start + kBlock <= text.size(); start += kBlock) {
        const unsigned char* block = reinterpret_cast<const unsigned char*>(text.data() + start);
        unsigned any = 0;
        for (std::size_t i = 0; i < kBlock; ++i)
            any |= unsigned{block[i] == 0} | unsigned{block[i] == 0xC0} | unsigned{block[i] == 0xC1} |
                   unsigned{block[i] >= 0xF5};
        if (any) break;
    }
    const auto found = std::find_if(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), IsNonText);
    return found == text.end() ? std::string_view::npos : static_cast<std::size_t>(found - text.begin());
}

// The position after the first endChar that no backslash escapes, or npos.
std::size_t EndOfEscaped(std::string_view text, char endChar) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\')
            ++i;
        else if (text[i] == endChar)
            return i + 1;
    }
    return std::string_view::npos;
}

// "xx,xx,..." optionally ending in a backslash that continues the data on the next line.
bool IsHexData(std::string_view data, bool& continued) {
    data = Trimmed(data);
    continued = !data.empty() && data.back() == '\\';
    if (continued) data.remove_suffix(1);
    return std::all_of(data.begin(), data.end(),
                       [](char c) { return IsHexDigit(c) || c == ',' || IsSpace(c); });
}

// A value line: a quoted name or @, "=", and data of one of the forms Wine writes.
bool IsValueLine(std::string_view line, bool& continued) {
    continued = false;
    std::size_t i = 1;
    if (line[0] == '"') {
        std::size_t end = EndOfEscaped(line.substr(1), '"');
        if (end == std::string_view::npos) return false;
        i += end;
    }
    std::string_view data = Trimmed(line.substr(i));
    if (data.empty() || data[0] != '=') return false;
    data = Trimmed(data.substr(1));
    for (std::string_view tag : {"\"", "str:\"", "str(2):\"", "str(7):\""})
        if (data.starts_with(tag))
            return EndOfEscaped(data.substr(tag.size()), '"') != std::string_view::npos;
    if (data.starts_with("dword:")) {
        data.remove_prefix(6);
        return !data.empty() && data.size() <= 8 && std::all_of(data.begin(), data.end(), IsHexDigit);
    }
    if (data.starts_with("hex:")) return IsHexData(data.substr(4), continued);
    if (!data.starts_with("hex(")) return false;
    std::size_t close = data.find("):");
    return close != std::string_view::npos && close > 4 &&
           std::all_of(data.begin() + 4, data.begin() + static_cast<std::ptrdiff_t>(close), IsHexDigit) &&
           IsHexData(data.substr(close + 2), continued);
}

} // namespace

std::size_t LineAt(std::string_view text, std::size_t offset) {
    return 1 + static_cast<std::size_t>(
                   std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

Damage FindDamage(std::string_view text) {
    const std::size_t nonText = FirstNonText(text);
    std::size_t pos = 0, number = 0;
    bool continued = false, inKey = false;
    while (pos < text.size()) {
        ++number;
        const void* newline = std::memchr(text.data() + pos, '\n', text.size() - pos);
        if (!newline) return {number, "the file ends in the middle of a line"};
        const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(newline) - text.data());
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (nonText < pos) {
            char what[64];
            std::snprintf(what, sizeof what, "a byte 0x%02X that is no text",
                          static_cast<unsigned>(static_cast<unsigned char>(text[nonText])));
            return {number, what};
        }
        if (number == 1) continue; // the header
        const std::string_view content = Trimmed(line);
        if (continued) {
            if (!IsHexData(content, continued)) return {number, "a value's continued data cannot be read"};
            continue;
        }
        if (content.empty() || content[0] == ';' || content[0] == '#') continue;
        if (content[0] == '[') {
            if (EndOfEscaped(content.substr(1), ']') == std::string_view::npos)
                return {number, "a key line has no closing ]"};
            inKey = true;
        } else if (content[0] == '"' || content[0] == '@') {
            if (!inKey) return {number, "a value stands before any key"};
            if (!IsValueLine(content, continued)) return {number, "a value line cannot be read"};
        } else {
            return {number, "a line is neither key, value, option nor comment"};
        }
    }
    if (continued) return {number, "the file ends inside a value"};
    return {};
}

} // namespace hw::store::wine
