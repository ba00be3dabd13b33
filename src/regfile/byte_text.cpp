#include "regfile/byte_text.h"

#include <array>

namespace hw::regfile {

namespace {

constexpr std::uint8_t kNotHex = 0xFF;

constexpr std::array<std::uint8_t, 256> MakeDigitTable() {
    std::array<std::uint8_t, 256> table{};
    for (auto& entry : table)
        entry = kNotHex;
    for (int c = '0'; c <= '9'; ++c)
        table[c] = static_cast<std::uint8_t>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) {
        table[c] = static_cast<std::uint8_t>(c - 'a' + 10);
        table[c - 'a' + 'A'] = static_cast<std::uint8_t>(c - 'a' + 10);
    }
    return table;
}

constexpr std::array<std::uint8_t, 256> kDigits = MakeDigitTable();

std::uint8_t DigitOf(char c) {
    return kDigits[static_cast<unsigned char>(c)];
}

} // namespace

bool ParseByteText(std::string_view text, std::vector<std::uint8_t>& out) {
    out.clear();
    out.reserve((text.size() + 1) / 3);
    std::size_t i = 0;
    while (i < text.size()) {
        const std::uint8_t high = DigitOf(text[i]);
        if (high == kNotHex) return false;
        std::uint8_t value = high;
        ++i;
        if (i < text.size() && text[i] != ',') {
            const std::uint8_t low = DigitOf(text[i]);
            if (low == kNotHex) return false;
            value = static_cast<std::uint8_t>(high << 4 | low);
            ++i;
        }
        out.push_back(value);
        if (i == text.size()) break;
        if (text[i] != ',') return false;
        ++i;
    }
    return true;
}

} // namespace hw::regfile
