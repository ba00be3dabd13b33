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
    const std::size_t had = out_.size();
    // A byte takes a digit, and the next one a comma more: at most one byte per two characters, and one.
    out_.resize(had + text.size() / 2 + 1);
    // Kept in locals: the compiler cannot tell that writing a byte leaves the members alone.
    std::uint8_t* write = out_.data() + had;
    State state = state_;
    bool valid = valid_;
    const char* at = text.data();
    const char* const end = at + text.size();
    while (at < end && valid) {
        // Nearly all of a file's byte text is two digits and a comma, read here in a loop of its own.
        if (state == State::Digit) {
            while (end - at >= 3 && at[2] == ',') {
                const std::uint8_t high = DigitOf(at[0]);
                const std::uint8_t low = DigitOf(at[1]);
                if (((high | low) & 0xF0) != 0) break;
                *write++ = static_cast<std::uint8_t>(high << 4 | low);
                at += 3;
            }
            if (at == end) break;
        }
        const char c = *at++;
        if (c == ' ' || c == '\t' || c == skip) continue;
        const std::uint8_t digit = DigitOf(c);
        switch (state) {
        case State::Digit:
            valid = digit != kNotHex;
            *write++ = digit;
            state = State::SecondDigit;
            break;
        case State::SecondDigit:
            if (c == ',') {
                state = State::Digit;
                break;
            }
            valid = digit != kNotHex;
            // The first digit may have come with the text before.
            write[-1] = static_cast<std::uint8_t>(write[-1] << 4 | digit);
            state = State::Comma;
            break;
        case State::Comma:
            valid = c == ',';
            state = State::Digit;
            break;
        }
    }
    state_ = state;
    valid_ = valid;
    out_.resize(static_cast<std::size_t>(write - out_.data()));
}

ByteTextDecoder::Mark ByteTextDecoder::Where() const {
    return {out_.size(), out_.empty() ? std::uint8_t{0} : out_.back(), state_, valid_};
}

void ByteTextDecoder::Rewind(const Mark& mark) {
    out_.resize(mark.size);
    // A second digit changes the byte before it.
    if (!out_.empty()) out_.back() = mark.last;
    state_ = mark.state;
    valid_ = mark.valid;
}

} // namespace hw::regfile
