#include "regfile/utf16.h"

namespace hw::regfile {

namespace {

void AppendCodePoint(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

constexpr char32_t kReplacement = 0xFFFD;

} // namespace

bool HasUtf16LeMark(const std::string& bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

void AppendUtf16LeAsUtf8(const std::uint8_t* data, std::size_t size, std::string& out) {
    out.reserve(out.size() + size / 2);
    std::size_t i = 0;
    auto unitAt = [data](std::size_t at) { return static_cast<char16_t>(data[at] | (data[at + 1] << 8)); };
    for (; i + 1 < size; i += 2) {
        const char16_t unit = unitAt(i);
        if (unit < 0xD800 || unit > 0xDFFF) {
            AppendCodePoint(unit, out);
        } else if (unit <= 0xDBFF && i + 3 < size && unitAt(i + 2) >= 0xDC00 && unitAt(i + 2) <= 0xDFFF) {
            AppendCodePoint(0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00), out);
            i += 2;
        } else {
            AppendCodePoint(kReplacement, out);
        }
    }
    if (i < size) out += static_cast<char>(data[i]);
}

} // namespace hw::regfile
