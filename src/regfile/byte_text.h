// The byte text of hex value lines: bytes of one or two hexadecimal digits, separated by commas.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace hw::regfile {

// Reads byte text ("1,0a,FF", a trailing comma allowed) piece by piece as the lines of a value bring it,
// straight into bytes. Text that is anything else, such as "0102" or "zz", is not valid.
class ByteTextDecoder {
    enum class State { Digit, SecondDigit, Comma };

  public:
    // Replaces out's contents.
    explicit ByteTextDecoder(std::vector<std::uint8_t>& out) : out_(out) { out_.clear(); }
    // Reads the next piece, skipping blanks, tabs and the character `skip`. Reading stops at the first
    // character that makes the text invalid.
    void Feed(std::string_view text, char skip = ' ');
    bool Valid() const { return valid_; }

    // Where the decoder stands, to go back to when a piece turns out not to belong to the text.
    struct Mark {
        std::size_t size = 0;
        std::uint8_t last = 0;
        State state = State::Digit;
        bool valid = true;
    };
    Mark Where() const;
    void Rewind(const Mark& mark);

  private:
    std::vector<std::uint8_t>& out_;
    State state_ = State::Digit;
    bool valid_ = true;
};

} // namespace hw::regfile
