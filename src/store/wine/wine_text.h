// Text in Wine's registry files: UTF-16 strings written with C-like escapes, and the store's UTF-8 bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hw::store::wine {

// UTF-8 to UTF-16 units. Surrogates encoded on their own (as Wine reads them) come back as themselves; a byte
// that starts no valid sequence stands for the character of the same number, so no byte is dropped.
std::u16string Utf16FromUtf8(std::string_view text);
// UTF-16 units to UTF-8; an unpaired surrogate becomes its own three-byte sequence, so the trip back is
// exact.
void AppendUtf8(std::string& out, std::u16string_view units);
std::string Utf8FromUtf16(std::u16string_view units);

// Appends units with Wine's escapes; the two quote characters are escaped with a backslash.
void AppendEscaped(std::string& out, std::u16string_view units, char quote1, char quote2);
// Reads an escaped string up to an unescaped endChar. Returns the characters read including endChar, or npos
// when endChar never comes.
std::size_t ParseEscaped(std::string_view source, char endChar, std::u16string& out);

// Wine's order and equality of names: case-insensitive, on UTF-16 units.
int CompareNames(std::string_view a, std::string_view b);

} // namespace hw::store::wine
