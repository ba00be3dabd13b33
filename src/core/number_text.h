// Reading a whole text as a signed 64-bit integer, the way number values are typed in.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace hw::core {

// Leading blanks, an optional sign, then decimal digits or hexadecimal digits after "$" or "0x"; nothing may
// follow. Hexadecimal texts may use all 64 bits ("$FFFFFFFFFFFFFFFF" is -1). Nothing when the text is not
// such a number or does not fit.
std::optional<std::int64_t> TextToInt64(std::string_view text);

} // namespace hw::core
