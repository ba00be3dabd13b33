// Whether a Wine registry file's lines have the shape Wine writes them in. A file cut in mid-line or inside a
// value, bytes that are no text, or lines that are neither key, value, option nor comment mean the file was
// damaged, and what was not understood must not be written back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hw::store::wine {

struct Damage {
    std::size_t line = 0; // 1 for the first line; 0 when the file is sound
    std::string what;
    explicit operator bool() const { return line != 0; }
};

// The first damaged line of a registry file's text (whose first line, the header, is checked elsewhere).
Damage FindDamage(std::string_view text);

// The line number of the byte at offset.
std::size_t LineAt(std::string_view text, std::size_t offset);

} // namespace hw::store::wine
