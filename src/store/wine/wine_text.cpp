#include "store/wine/wine_text.h"

#include <cstdio>

namespace hw::store::wine {

namespace {

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned HexValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    return static_cast<unsigned>(c - 'A' + 10);
}

// Decodes one UTF-8 sequence at text[i]; 0 when none starts there.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& code) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    std::size_t length = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (lead >= 0xF5) length = 0;
    if (length == 0 || i + length > text.size()) return 0;
    code = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kMinimum[length] || code > 0x10FFFF) return 0;
    return length;
}

void AppendUnit(std::u16string& out, char32_t code) {
    if (code <= 0xFFFF) {
        out.push_back(static_cast<char16_t>(code));
    } else {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 | (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 | (code & 0x3FF)));
    }
}

// Lower case of the letters whose case Wine folds in names: ASCII, Latin-1, Latin Extended-A, Greek,
// Cyrillic.
char16_t Lower(char16_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + 32) : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
    if (c == 0x178) return 0xFF;
    bool evenUpper = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1)) return static_cast<char16_t>(c + 1);
    return c;
}

} // namespace

std::u16string Utf16FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        char32_t code = 0;
        std::size_t length = DecodeUtf8(text, i, code);
        if (length == 0) {
            out.push_back(c);
            ++i;
        } else {
            AppendUnit(out, code);
            i += length;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, std::u16string_view units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t code = units[i];
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
            continue;
        }
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        }
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

std::string Utf8FromUtf16(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    AppendUtf8(out, units);
    return out;
}

void AppendEscaped(std::string& out, std::u16string_view units, char quote1, char quote2) {
    static constexpr char kEscapes[] = ".......abtnvfr.............e....";
    char buffer[16];
    for (std::size_t i = 0; i < units.size(); ++i) {
        char16_t c = units[i];
        bool more = i + 1 < units.size();
        if (c > 127) {
            // Padded when a hex digit follows, which would otherwise be read as part of the escape.
            bool padded = more && units[i + 1] < 128 && IsHex(static_cast<char>(units[i + 1]));
            int length = std::snprintf(buffer, sizeof buffer, padded ? "\\x%04x" : "\\x%x", unsigned(c));
            out.append(buffer, static_cast<std::size_t>(length));
        } else if (c < 32) {
            int length;
            if (kEscapes[c] != '.')
                length = std::snprintf(buffer, sizeof buffer, "\\%c", kEscapes[c]);
            else if (more && units[i + 1] >= '0' && units[i + 1] <= '7')
                length = std::snprintf(buffer, sizeof buffer, "\\%03o", unsigned(c));
            else
                length = std::snprintf(buffer, sizeof buffer, "\\%o", unsigned(c));
            out.append(buffer, static_cast<std::size_t>(length));
        } else {
            if (c == '\\' || c == static_cast<unsigned char>(quote1) ||
                c == static_cast<unsigned char>(quote2))
                out.push_back('\\');
            out.push_back(static_cast<char>(c));
        }
    }
}

std::size_t ParseEscaped(std::string_view source, char endChar, std::u16string& out) {
    std::size_t i = 0;
    while (i < source.size() && source[i] != endChar) {
        if (source[i] == '\\' && i + 1 < source.size()) {
            char e = source[i + 1];
            char16_t simple = 0;
            switch (e) {
            case 'a':
                simple = '\a';
                break;
            case 'b':
                simple = '\b';
                break;
            case 'e':
                simple = 27;
                break;
            case 'f':
                simple = '\f';
                break;
            case 'n':
                simple = '\n';
                break;
            case 'r':
                simple = '\r';
                break;
            case 't':
                simple = '\t';
                break;
            case 'v':
                simple = '\v';
                break;
            default:
                break;
            }
            if (simple) {
                out.push_back(simple);
                i += 2;
                continue;
            }
            if (e == 'x') {
                i += 2;
                if (i >= source.size() || !IsHex(source[i])) {
                    out.push_back('x');
                    continue;
                }
                unsigned value = 0;
                for (int digits = 0; digits < 4 && i < source.size() && IsHex(source[i]); ++digits)
                    value = value * 16 + HexValue(source[i++]);
                out.push_back(static_cast<char16_t>(value));
                continue;
            }
            if (e >= '0' && e <= '7') {
                i += 1;
                unsigned value = 0;
                for (int digits = 0; digits < 3 && i < source.size() && source[i] >= '0' && source[i] <= '7';
                     ++digits)
                    value = value * 8 + static_cast<unsigned>(source[i++] - '0');
                out.push_back(static_cast<char16_t>(value));
                continue;
            }
            ++i; // any other escaped character stands for itself
        }
        unsigned char c = static_cast<unsigned char>(source[i]);
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        char32_t code = 0;
        std::size_t length = DecodeUtf8(source, i, code);
        if (length == 0) {
            ++i; // an invalid byte is skipped, as Wine does
            continue;
        }
        AppendUnit(out, code);
        i += length;
    }
    if (i >= source.size()) return std::string_view::npos;
    return i + 1;
}

int CompareNames(std::string_view a, std::string_view b) {
    std::size_t common = a.size() < b.size() ? a.size() : b.size();
    std::size_t i = 0;
    for (; i < common; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80 || y >= 0x80) break;
        char16_t lx = Lower(x), ly = Lower(y);
        if (lx != ly) return lx < ly ? -1 : 1;
    }
    if (i == common) return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    std::u16string ua = Utf16FromUtf8(a.substr(i)), ub = Utf16FromUtf8(b.substr(i));
    std::size_t shorter = ua.size() < ub.size() ? ua.size() : ub.size();
    for (std::size_t k = 0; k < shorter; ++k) {
        char16_t lx = Lower(ua[k]), ly = Lower(ub[k]);
        if (lx != ly) return lx < ly ? -1 : 1;
    }
    return ua.size() == ub.size() ? 0 : (ua.size() < ub.size() ? -1 : 1);
}

} // namespace hw::store::wine
