// The DWORD editor's number texts: the typing rule of each base and the conversions between the bases.
#pragma once

#include "platform/winreg.h"

#include <optional>
#include <string>
#include <string_view>

namespace hw::editors {

enum class NumberBase { Decimal, Hexadecimal };

// Whether typing c into a box holding text keeps it a number: the test appends c to the whole text.
// Decimal allows 0 to 2147483647; hexadecimal at most 8 digits of either case.
bool KeystrokeAllowed(NumberBase base, std::string_view text, char c);

// Decimal: an optional sign and digits as a signed 64-bit number, its low 32 bits. Nothing when unreadable.
std::optional<DWORD> ReadDecimal(std::string_view text);

struct NumberReading {
    std::optional<DWORD> number;
    std::string failure; // what the user is told when number is absent
};
// The text in the given base; hexadecimal reading is the strict one, with its failure messages.
NumberReading ReadNumber(NumberBase base, std::string_view text);

std::string DecimalText(DWORD number);
// Eight upper-case digits.
std::string HexText(DWORD number);

// The text shown after switching to base: the number re-written, "0" when the old text cannot be read,
// and an empty text stays empty.
std::string SwitchBase(NumberBase to, std::string_view text);

} // namespace hw::editors
