#include "platform/qt/byte_text.h"

#include <QByteArray>

namespace hw::platform {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// The length of the valid UTF-8 sequence at the start of bytes; 0 when there is none.
std::size_t SequenceLength(std::string_view bytes) {
    const auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return 0;
    }
    return length;
}

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SequenceLength(bytes.substr(i));
        if (length == 0) return false;
        i += length;
    }
    return true;
}

int DigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    return -1;
}

} // namespace

QString ShownText(std::string_view bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    bool escaped = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SequenceLength(bytes.substr(i));
        if (length > 0) {
            shown.append(bytes.substr(i, length));
            i += length;
            continue;
        }
        const auto byte = static_cast<unsigned char>(bytes[i++]);
        shown += "\\x";
        shown += kDigits[byte >> 4];
        shown += kDigits[byte & 0xF];
        escaped = true;
    }
    if (!escaped) return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

std::string EditedBytes(const QString& edited, std::string_view original) {
    if (IsValidUtf8(original)) return edited.toStdString();
    std::string bytes;
    for (qsizetype i = 0; i < edited.size();) {
        // Only escapes of bytes that cannot stand alone in UTF-8 were made by ShownText.
        if (edited[i] == '\\' && i + 3 < edited.size() && edited[i + 1] == 'x' &&
            DigitValue(edited[i + 2]) >= 8 && DigitValue(edited[i + 3]) >= 0) {
            bytes += static_cast<char>(DigitValue(edited[i + 2]) * 16 + DigitValue(edited[i + 3]));
            i += 4;
            continue;
        }
        const qsizetype length = edited[i].isHighSurrogate() && i + 1 < edited.size() ? 2 : 1;
        bytes += edited.mid(i, length).toStdString();
        i += length;
    }
    return bytes;
}

} // namespace hw::platform
