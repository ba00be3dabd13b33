#include "core/number_text.h"

#include <limits>

namespace hw::core {

namespace {

int DigitValue(char c, int base) {
    int value = 16;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    return value < base ? value : -1;
}

} // namespace

std::optional<std::int64_t> TextToInt64(std::string_view text) {
    std::size_t position = text.find_first_not_of(' ');
    if (position == std::string_view::npos) return std::nullopt;
    bool negative = false;
    if (text[position] == '-' || text[position] == '+') negative = text[position++] == '-';
    int base = 10;
    if (text.substr(position, 1) == "$") {
        base = 16;
        position += 1;
    } else if (text.substr(position, 2) == "0x" || text.substr(position, 2) == "0X") {
        base = 16;
        position += 2;
    }
    if (position == text.size()) return std::nullopt;

    const std::uint64_t limit =
        base == 16
            ? std::numeric_limits<std::uint64_t>::max()
            : static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    std::uint64_t magnitude = 0;
    for (; position < text.size(); ++position) {
        const int digit = DigitValue(text[position], base);
        if (digit < 0) return std::nullopt;
        if (magnitude > (limit - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base)) {
            return std::nullopt;
        }
        magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    // Two's complement wrap-around is what lets a 64-bit hexadecimal text name a negative number.
    const std::uint64_t bits = negative ? 0 - magnitude : magnitude;
    return static_cast<std::int64_t>(bits);
}

} // namespace hw::core
