#include "content/reg_text_codec.h"

#include "regfile/utf16.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>

namespace hw::content {

namespace {

QString NormaliseLineBreaks(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    return text;
}

bool FitsLatin1(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF) return false;
    return true;
}

} // namespace

DecodedText DecodeRegText(const std::string& bytes) {
    DecodedText decoded;
    if (regfile::HasUtf16LeMark(bytes)) {
        QStringDecoder decoder(QStringConverter::Utf16LE);
        decoded.text = NormaliseLineBreaks(decoder(QByteArrayView(bytes).sliced(2)));
        decoded.encoding = TextEncoding::Utf16Le;
    } else if (QByteArrayView(bytes).isValidUtf8()) {
        decoded.text = NormaliseLineBreaks(QString::fromUtf8(bytes.data(), qsizetype(bytes.size())));
    } else {
        decoded.text = NormaliseLineBreaks(QString::fromLatin1(bytes.data(), qsizetype(bytes.size())));
        decoded.encoding = TextEncoding::Latin1;
    }
    return decoded;
}

std::string EncodeRegText(const QString& text, TextEncoding encoding) {
    if (text.isEmpty()) return encoding == TextEncoding::Utf16Le ? std::string("\xFF\xFE") : std::string();
    QString lines = text;
    lines.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    lines += QLatin1String("\r\n");
    if (encoding == TextEncoding::Utf16Le) {
        QStringEncoder encoder(QStringConverter::Utf16LE);
        const QByteArray units = encoder(lines);
        return std::string("\xFF\xFE") + units.toStdString();
    }
    if (encoding == TextEncoding::Latin1 && FitsLatin1(lines)) return lines.toLatin1().toStdString();
    return lines.toStdString();
}

std::vector<std::string> SplitTextLines(const QString& text, TextEncoding encoding) {
    std::vector<std::string> lines;
    if (text.isEmpty()) return lines;
    const QByteArray bytes =
        encoding == TextEncoding::Latin1 && FitsLatin1(text) ? text.toLatin1() : text.toUtf8();
    qsizetype start = 0;
    while (true) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) break;
        lines.emplace_back(bytes.constData() + start, std::size_t(end - start));
        start = end + 1;
    }
    lines.emplace_back(bytes.constData() + start, std::size_t(bytes.size() - start));
    return lines;
}

DecodedText JoinExportLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 1;
    std::string joined;
    joined.reserve(size);
    for (const std::string& line : lines)
        joined.append(line).append(1, '\n');
    return DecodeRegText(joined);
}

} // namespace hw::content
