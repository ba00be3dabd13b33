// What a registration file's bytes mean. One rule for every reader: a file that starts with the UTF-16LE
// byte-order mark is UTF-16LE; otherwise bytes that are valid UTF-8 are UTF-8; otherwise they are text in
// the ANSI code page. The text we keep is always UTF-8.
#pragma once

#include "regfile/line_source.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace hw::regfile {

enum class RegEncoding {
    Utf8,    // also plain ASCII
    Ansi,    // single-byte (or double-byte) text in the ANSI code page
    Utf16Le, // with the byte-order mark FF FE
};

// The encoding of a whole file's bytes.
RegEncoding EncodingOfRegBytes(std::string_view bytes);
// The whole file as UTF-8, without its byte-order mark.
std::string DecodeRegBytes(std::string_view bytes, RegEncoding encoding);

// The first line of a file whose text values carry UTF-16LE payloads.
inline constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";

// Appends the text of a hex(1), hex(2) or hex(7) payload: UTF-16LE in a version 5 file (or a UTF-16
// file), else text in the file's encoding. A payload of an odd number of bytes cannot be UTF-16LE: it is
// read in the file's encoding, so files written without UTF-16 payloads still import.
void AppendPayloadText(const std::uint8_t* data, std::size_t size, bool version5, RegEncoding encoding,
                       std::string& out);

// Reads a file from fd (start: its bytes read so far) as UTF-8 lines. The descriptor stays the caller's.
std::unique_ptr<LineSource> OpenRegText(int fd, std::string start, RegEncoding encoding);

// Reads fd to its end and tells whether start and the rest are valid UTF-8, then moves fd back to where
// it was. ok is false when fd cannot be read or moved back.
bool WholeFileIsUtf8(int fd, const std::string& start, bool& ok);

} // namespace hw::regfile
