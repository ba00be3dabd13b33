// Reading and writing the value an input is bound to, as the page's text.
#pragma once

#include "platform/winreg.h"

#include <string>

namespace hw::markup {

// The value's text (empty when missing); a REG_MULTI_SZ value gives all its strings, one per line, so a
// save does not cut it down to its first string.
std::string ReadBoundValueText(const std::string& keyPath, const std::string& valueName);
// Writes the text as a value of the type, creating the key; for REG_MULTI_SZ each line is one string.
bool WriteBoundValueText(const std::string& keyPath, const std::string& valueName, const std::string& text,
                         DWORD type);

} // namespace hw::markup
