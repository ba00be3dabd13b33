// Registration file bytes to editor text and back. The editor breaks lines with '\n'; files get CR LF.
// What the bytes mean follows the one rule of regfile/reg_encoding.h; stored text that is not UTF-8 keeps
// its bytes through the editor (see regfile/utf16.h).
#pragma once

#include "regfile/reg_encoding.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace hw::content {

using TextEncoding = regfile::RegEncoding;

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
};

// The file's lines (split at CR LF, CR or LF) joined with '\n'; one final line break is dropped, since
// saving ends every line with one.
DecodedText DecodeRegText(const std::string& bytes);

// Every line of the text followed by CR LF, in the encoding. Text holding characters that the ANSI code
// page cannot carry is written as UTF-8 rather than losing them.
std::string EncodeRegText(const QString& text, TextEncoding encoding);

// One UTF-8 string per line of the text; none for an empty text.
std::vector<std::string> SplitTextLines(const QString& text);

// The UTF-8 lines of a key's export as editor text, to be saved in the encoding.
DecodedText JoinExportLines(const std::vector<std::string>& lines, TextEncoding encoding);

// Stored text and editor text, both ways, every byte kept.
QString QStringOfRegText(std::string_view text);
std::string RegTextOfQString(const QString& text);

} // namespace hw::content
