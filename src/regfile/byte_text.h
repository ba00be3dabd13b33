// The byte text of hex value lines: bytes of one or two hexadecimal digits, separated by commas.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace hw::regfile {

// Replaces out with the bytes of text ("1,0a,FF", a trailing comma allowed, no blanks); false when the
// text is anything else, such as "0102" or "zz".
bool ParseByteText(std::string_view text, std::vector<std::uint8_t>& out);

} // namespace hw::regfile
