// The text of one value line of a registration file.
#pragma once

#include "platform/winreg.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace hw::regfile {

enum class ValueLineResult {
    Written,
    NameSplitsLine, // written, but a CR or LF in the name would split the line
    NotInCodePage,  // nothing written: the ANSI code page cannot hold the text payload
};

// Appends `"name"=` and the data, names and strings with a backslash before each backslash and double
// quote. Strings, binaries and 4-byte DWORDs take their plain forms; everything the plain forms cannot give
// back byte for byte is written as hex(type). The payloads of the text types (hex(1), hex(2), hex(7)) are
// UTF-16LE in a version 5 file and text in the ANSI code page otherwise. Other payloads are the bytes as
// stored.
ValueLineResult AppendValueLine(std::string_view name, DWORD type, const BYTE* data, std::size_t size,
                                bool version5, std::string& out);

// Whether a name can stand in a line at all (line ends would split it).
bool FitsOnOneLine(std::string_view name);

} // namespace hw::regfile
