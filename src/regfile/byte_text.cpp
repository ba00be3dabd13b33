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

void ByteTextDecoder::Feed(std::string_view text, char skip) {
    const char* at = text.data();
    const char* const end = at + text.size();
    while (at < end && valid_) {
        // Nearly all of a file's byte text is two digits and a comma.
        if (state_ == State::Digit && end - at >= 3 && at[2] == ',') {
            const std::uint8_t high = DigitOf(at[0]);
            const std::uint8_t low = DigitOf(at[1]);
            if (((high | low) & 0xF0) == 0) {
                out_.push_back(static_cast<std::uint8_t>(high << 4 | low));
                at += 3;
                continue;
            }
        }
        Step(*at++, skip);
    }
}

void ByteTextDecoder::Step(char c, char skip) {
    if (c == ' ' || c == '\t' || c == skip) return;
    const std::uint8_t digit = DigitOf(c);
    switch (state_) {
    case State::Digit:
        valid_ = digit != kNotHex;
        out_.push_back(digit);
        state_ = State::SecondDigit;
        return;
    case State::SecondDigit:
        if (c == ',') {
            state_ = State::Digit;
            return;
        }
        valid_ = digit != kNotHex;
        out_.back() = static_cast<std::uint8_t>(out_.back() << 4 | digit);
        state_ = State::Comma;
        return;
    case State::Comma:
        valid_ = c == ',';
        state_ = State::Digit;
        return;
    }
}

} // namespace hw::regfile
