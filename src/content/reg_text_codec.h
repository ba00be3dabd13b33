// Registration file bytes to editor text and back. The editor breaks lines with '\n'; files get CR LF.
#pragma once

#include <QString>

#include <string>
#include <vector>

namespace hw::content {

enum class TextEncoding {
    Utf8,    // also plain ASCII
    Latin1,  // single-byte text that is not UTF-8: one character per byte, so every byte comes back
    Utf16Le, // with the byte-order mark FF FE
};

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
};

// The file's lines (split at CR LF, CR or LF) joined with '\n'; one final line break is dropped, since
// saving ends every line with one.
DecodedText DecodeRegText(const std::string& bytes);

// Every line of the text followed by CR LF, in the encoding. Latin-1 text holding characters that
// Latin-1 cannot carry is written as UTF-8 rather than losing them.
std::string EncodeRegText(const QString& text, TextEncoding encoding);

// One string per line of the text, in the bytes the encoding gives (UTF-8, or the original single
// bytes of Latin-1 text); none for an empty text.
std::vector<std::string> SplitTextLines(const QString& text, TextEncoding encoding);

// The lines of a key's export as editor text; registry strings that are not UTF-8 keep their bytes.
DecodedText JoinExportLines(const std::vector<std::string>& lines);

} // namespace hw::content
