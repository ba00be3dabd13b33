// UTF-16 text as registration files and other programs carry it, and the UTF-8 bytes we keep.
//
// Stored text is bytes, not always valid UTF-8, and must survive a trip through UTF-16 unchanged. So a byte
// that starts no UTF-8 sequence travels as the lone low surrogate U+DC80..U+DCFF (0x80..0xFF) and comes back
// as that byte; any other lone surrogate is kept in the three-byte form that UTF-8 would give it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hw::regfile {

// True when the bytes start with the UTF-16LE byte-order mark FF FE.
bool HasUtf16LeMark(std::string_view bytes);

// Appends the bytes of UTF-16LE units. An odd last byte is kept as it is, so no byte of the input silently
// disappears.
void AppendUtf16LeAsUtf8(const std::uint8_t* data, std::size_t size, std::string& out);
void AppendUtf16AsUtf8(std::u16string_view units, std::string& out);

// The reverse: AppendUtf8AsUtf16(bytes) read back with AppendUtf16AsUtf8 gives the same bytes.
void AppendUtf8AsUtf16(std::string_view bytes, std::u16string& out);
void AppendUtf8AsUtf16Le(std::string_view bytes, std::string& out);
// The same written at `to`, which has room for two bytes per input byte (no byte gives more than one
// unit); returns the end of what was written.
char* WriteUtf8AsUtf16Le(std::string_view bytes, char* to);

// True when the bytes are UTF-8 text (no surrogates, no overlong forms).
bool IsValidUtf8(std::string_view bytes);
// Length of the valid UTF-8 sequence at text[at] (1 for ASCII), or 0 when none starts there. code gets
// its code point.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at, char32_t& code);
void AppendCodePoint(char32_t code, std::string& out);

} // namespace hw::regfile
