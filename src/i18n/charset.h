// The system's default character set (the numbers of the font character sets: 0 Western, 128 Japanese,
// 204 Cyrillic ...) and the language section it suggests when no default language is set.
#pragma once

#include <string_view>

namespace hw::i18n {

// From a locale name such as "ja_JP.UTF-8" or "sr_RS@latin"; 0 when it names no other set.
int CharsetOfLocale(std::string_view locale);

// HIVEWRIGHT_CHARSET when set to a number, else the locale of LC_ALL, LC_CTYPE or LANG (the first set).
int SystemDefaultCharset();

// The code page of single-byte ("ANSI") registration files: HIVEWRIGHT_ANSI_CODEPAGE when set to a number
// (1250, 1251, 932 ...), else 1252.
int AnsiCodePage();

// The language section for a character set ("SHIFTJIS" for 128 ...); empty for a set not in the table.
std::string_view CharsetSection(int charset);

} // namespace hw::i18n
