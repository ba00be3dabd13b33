// The registry's value types: the names the program shows and the three classes that decide every text form.
#pragma once

#include "platform/winreg.h"

#include <optional>
#include <string>

namespace hw::core {

enum class TypeClass { Text, Number, Bytes };

// "REG_SZ" ... "REG_RESOURCE_REQUIREMENTS_LIST", else "REG_UNKNOWN(" n ")".
std::string ValueTypeName(DWORD type);
// The type of a shown name (and "REG_DWORD_LITTLE_ENDIAN" for 4); case-insensitive; nothing when unknown.
std::optional<DWORD> ValueTypeFromName(const std::string& name);
TypeClass ClassOfType(DWORD type);

} // namespace hw::core
