// Value data as text: byte text, printable text, number forms, reading and writing values from text.
#pragma once

#include "platform/winreg.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace hw::core {

// The failure of HexToDWord; what() is "Value overflow" or "Invalid char".
class HexConversionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string BytesToHex(const BYTE* bytes, std::size_t count, char separator);
std::string BytesToPrintable(const BYTE* bytes, std::size_t count);
// count: capacity in, bytes produced out. Never fails.
void HexToBytes(std::string_view text, BYTE* output, std::size_t& count);
// The tolerant number of up to 8 characters; -1 for 9 or more.
std::int64_t HexPairToByte(std::string_view text);
// The strict 32-bit number; throws HexConversionError.
DWORD HexToDWord(std::string_view text);
DWORD SwapDWord(DWORD value);

// One value's type and data, read by the two-step read.
struct RawValue {
    DWORD type = 0;
    std::vector<BYTE> data;
};
// Nothing when the value cannot be read or its size is 0. An empty subKey reads from the root itself.
std::optional<RawValue> ReadRawValue(HKEY root, const std::string& subKey, const std::string& valueName);
// The same on a key already open with KEY_QUERY_VALUE.
std::optional<RawValue> QueryRawValue(HKEY key, const std::string& valueName);
// As QueryRawValue, but a value of size 0 is read too (with no data).
std::optional<RawValue> QueryValueData(HKEY key, const std::string& valueName);

// The number of a type 4 or 5 value in the machine's order. Data shorter than 4 bytes reads as the bytes it
// has, zero-extended: a read never goes past the data.
DWORD NumberOfData(DWORD type, const BYTE* data, std::size_t size);

struct ValueTexts {
    std::string value;   // the value text
    std::string display; // the display text
};
// The texts of already-read data (what the value list and the search use).
ValueTexts ValueTextsOf(DWORD type, const BYTE* data, std::size_t size);

std::string ReadValueText(HKEY root, const std::string& subKey, const std::string& valueName);
std::string ReadValueTextOfPath(const std::string& path, const std::string& valueName);
ValueTexts ReadValueTexts(HKEY root, const std::string& subKey, const std::string& valueName);
ValueTexts ReadValueTextsOfPath(const std::string& path, const std::string& valueName);

bool WriteValueText(HKEY root, const std::string& subKey, const std::string& valueName, DWORD type,
                    const std::string& text);
bool WriteValueTextOfPath(const std::string& path, const std::string& valueName, const std::string& text,
                          DWORD type);

} // namespace hw::core
