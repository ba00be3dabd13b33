// The bytes the main window writes for a value: texts with their NUL, multi-strings, numbers, byte text.
#pragma once

#include "app/clipboards.h"
#include "platform/winreg.h"

#include <optional>
#include <string>
#include <vector>

namespace hw::app {

using ValueBytes = std::vector<BYTE>;

// Every string of a multi-string's data, the empty ones between others included; the terminating NULs
// (one or two) end the list, and data without them still gives its text.
std::vector<std::string> MultiStrings(const BYTE* data, std::size_t size);
// Each string with its NUL, then the closing NUL.
ValueBytes MultiStringData(const std::vector<std::string>& strings);

// A multi-string as editor text, one string per CR LF line, and back.
std::string JoinLines(const std::vector<std::string>& strings);
std::vector<std::string> SplitLines(const std::string& text);

ValueBytes TextData(const std::string& text);
// Four bytes in the machine's order; type 5 swaps them first.
ValueBytes NumberData(DWORD type, DWORD number);
// Spaced (or otherwise separated) byte text as bytes, as many as the text holds.
ValueBytes HexTextData(const std::string& text);

// The data a clipboard entry is pasted with; nothing when a number entry is not an unsigned decimal.
std::optional<ValueBytes> CopyEntryData(const TValueCopyData& entry);

// RegSetValueExA on an open key; a value of no bytes is written with size 0.
bool SetValueData(HKEY key, const std::string& name, DWORD type, const ValueBytes& data);

} // namespace hw::app
