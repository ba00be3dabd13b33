// Two-byte text as written by some registry tools: UTF-16 little-endian, converted to the UTF-8 we keep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace hw::regfile {

// True when the bytes start with the UTF-16LE byte-order mark FF FE.
bool HasUtf16LeMark(const std::string& bytes);

// Appends the UTF-8 form of UTF-16LE units. Unpaired surrogates become U+FFFD; an odd last byte is kept as
// it is, so no byte of the input silently disappears.
void AppendUtf16LeAsUtf8(const std::uint8_t* data, std::size_t size, std::string& out);

} // namespace hw::regfile
