// Reading attribute values as colours and flags; bad texts give the caller's default.
#pragma once

#include "markup/opal_document.h"

#include <string_view>

namespace hw::markup {

// "RGB(r, g, b)", "#hex" or "0xhex" (used as 0x00BBGGRR directly), a colour name, or a signed integer
// (decimal, or hexadecimal after "$"); case-insensitive.
TColor ColorValue(std::string_view text, TColor defaultColor);
// With default true only "no", "false" and "0" give false; with default false only "yes", "true" and "1"
// give true; case-insensitive.
bool BoolValue(std::string_view text, bool defaultFlag);

} // namespace hw::markup
