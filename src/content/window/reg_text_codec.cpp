#include "content/window/reg_text_codec.h"

#include "regfile/ansi_codec.h"
#include "regfile/utf16.h"

namespace hw::content {

namespace {

QString NormaliseLineBreaks(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    return text;
}

} // namespace

QString QStringOfRegText(std::string_view text) {
    std::u16string units;
    regfile::AppendUtf8AsUtf16(text, units);
    return QString(reinterpret_cast<const QChar*>(units.data()), qsizetype(units.size()));
}

std::string RegTextOfQString(const QString& text) {
    std::string bytes;
    regfile::AppendUtf16AsUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())),
        bytes);
    return bytes;
}

DecodedText DecodeRegText(const std::string& bytes) {
    DecodedText decoded;
    decoded.encoding = regfile::EncodingOfRegBytes(bytes);
    decoded.text = NormaliseLineBreaks(QStringOfRegText(regfile::DecodeRegBytes(bytes, decoded.encoding)));
    return decoded;
}

std::string EncodeRegText(const QString& text, TextEncoding encoding) {
    const bool utf16 = encoding == TextEncoding::Utf16Le;
    if (text.isEmpty()) return utf16 ? std::string("\xFF\xFE") : std::string();
    QString lines = text;
    lines.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    lines += QLatin1String("\r\n");
    std::string utf8 = RegTextOfQString(lines);
    std::string bytes;
    if (utf16) {
        bytes = "\xFF\xFE";
        regfile::AppendUtf8AsUtf16Le(utf8, bytes);
        return bytes;
    }
    if (encoding == TextEncoding::Ansi && regfile::AnsiCodec::Current().Encode(utf8, bytes)) return bytes;
    return utf8;
}

std::vector<std::string> SplitTextLines(const QString& text) {
    std::vector<std::string> lines;
    if (text.isEmpty()) return lines;
    const std::string bytes = RegTextOfQString(text);
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
        lines.emplace_back(bytes, start, end - start);
    lines.emplace_back(bytes, start);
    return lines;
}

DecodedText JoinExportLines(const std::vector<std::string>& lines, TextEncoding encoding) {
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 1;
    std::string joined;
    joined.reserve(size);
    for (const std::string& line : lines)
        joined.append(line).append(1, '\n');
    return {NormaliseLineBreaks(QStringOfRegText(joined)), encoding};
}

} // namespace hw::content
