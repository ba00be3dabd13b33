// Builds small key trees for the search tests straight through the registry functions.
#pragma once

#include "platform/winreg.h"

#include <string>
#include <vector>

namespace hw::search::test {

// Creates the key (and any missing keys above it) under root.
void MakeKey(HKEY root, const std::string& subKey);
void SetValue(HKEY root, const std::string& subKey, const std::string& name, DWORD type,
              const std::vector<BYTE>& data);
// Text data with its terminating NUL.
void SetString(HKEY root, const std::string& subKey, const std::string& name, const std::string& text,
               DWORD type = REG_SZ);
void SetDword(HKEY root, const std::string& subKey, const std::string& name, DWORD number);
// Empty when the value cannot be read.
std::vector<BYTE> ValueData(HKEY root, const std::string& subKey, const std::string& name);

} // namespace hw::search::test
