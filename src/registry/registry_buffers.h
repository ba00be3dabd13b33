// Copying names and value data into callers' buffers with the registry functions' size rules.
#pragma once

#include "platform/winreg.h"

#include <string>
#include <string_view>

namespace hw::registry {

// A NUL-terminated name; ERROR_MORE_DATA with the needed length when the buffer is missing or too small.
LONG CopyName(std::string_view name, LPSTR buffer, LPDWORD length);
// Value data; no buffer asks for the size only.
LONG CopyData(std::string_view data, LPBYTE buffer, LPDWORD size);

} // namespace hw::registry
