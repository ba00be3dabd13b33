// The byte text of hex value lines: bytes of one or two hexadecimal digits, separated by commas.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace hw::regfile {

// Reads byte text ("1,0a,FF", a trailing comma allowed) piece by piece as the lines of a value bring it,
// straight into bytes. Text that is anything else, such as "0102" or "zz", is not valid.
class ByteTextDecoder {
  public:
    // Replaces out's contents.
    explicit ByteTextDecoder(std::vector<std::uint8_t>& out) : out_(out) { out_.clear(); }
    // Reads the next piece, skipping blanks, tabs and the character `skip`.
    void Feed(std::string_view text, char skip = ' ');
    bool Valid() const { return valid_; }

  private:
    enum class State { Digit, SecondDigit, Comma };
    // Takes one character at a time; write is where the next byte goes. Returns where the one after goes.
    std::uint8_t* Step(char c, char skip, std::uint8_t* write);

    std::vector<std::uint8_t>& out_;
    State state_ = State::Digit;
    bool valid_ = true;
};

} // namespace hw::regfile
