#include "regfile/utf16.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hw::regfile {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The code point of a lone surrogate's three-byte form at text[at] (ED A0..BF xx), or 0.
char32_t LoneSurrogateAt(std::string_view text, std::size_t at) {
    if (at + 2 >= text.size() || static_cast<unsigned char>(text[at]) != 0xED) return 0;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const auto third = static_cast<unsigned char>(text[at + 2]);
    if (second < 0xA0 || second > 0xBF || (third & 0xC0) != 0x80) return 0;
    return 0xD000 | ((second & 0x3F) << 6) | (third & 0x3F);
}

// Appends the UTF-16 units of the bytes through put(unit); back(units) rewrites the last unit put.
template <typename Sink> void EncodeUtf8(std::string_view text, Sink& sink) {
    bool loneHighLast = false; // the last unit is a lone high surrogate taken from its three-byte form
    auto putEscapes = [&sink](std::string_view bytes) {
        for (char c : bytes)
            sink.Put(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(c)));
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            sink.Put(lead);
            ++i;
            loneHighLast = false;
            continue;
        }
        char32_t code = 0;
        std::size_t length = Utf8SequenceAt(text, i, code);
        char32_t surrogate = length == 0 ? LoneSurrogateAt(text, i) : 0;
        // A surrogate that would read back as an escaped byte, or pair up, travels as escaped bytes.
        if (surrogate >= kEscapeBase + 0x80 && surrogate <= kEscapeBase + 0xFF) surrogate = 0;
        const bool startsLow = surrogate != 0 ? IsLowSurrogate(surrogate) : length == 0;
        if (loneHighLast && startsLow) {
            sink.Back();
            putEscapes(text.substr(i - 3, 3));
        }
        loneHighLast = false;
        if (length != 0) {
            if (code < 0x10000) {
                sink.Put(static_cast<char16_t>(code));
            } else {
                sink.Put(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
                sink.Put(static_cast<char16_t>(kEscapeBase + ((code - 0x10000) & 0x3FF)));
            }
        } else if (surrogate != 0) {
            sink.Put(static_cast<char16_t>(surrogate));
            loneHighLast = IsHighSurrogate(surrogate);
            length = 3;
        } else {
            putEscapes(text.substr(i, 1));
            length = 1;
        }
        i += length;
    }
}

struct UnitSink {
    std::u16string& out;
    void Put(char16_t unit) { out.push_back(unit); }
    void Back() { out.pop_back(); }
};

// Writes through a pointer into room the caller has made.
struct LittleEndianSink {
    char* to;
    void Put(char16_t unit) {
        to[0] = static_cast<char>(unit & 0xFF);
        to[1] = static_cast<char>(unit >> 8);
        to += 2;
    }
    void Back() { to -= 2; }
};

template <typename UnitAt> void DecodeUnits(std::size_t count, UnitAt unitAt, std::string& out) {
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t unit = unitAt(i);
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
        } else if (IsHighSurrogate(unit) && i + 1 < count && IsLowSurrogate(unitAt(i + 1))) {
            AppendCodePoint(0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 1) - kEscapeBase), out);
            ++i;
        } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            out.push_back(static_cast<char>(unit - kEscapeBase));
        } else {
            AppendCodePoint(unit, out);
        }
    }
}

} // namespace

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

std::size_t Utf8SequenceAt(std::string_view text, std::size_t at, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    const std::size_t length = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    char32_t value = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kLeast[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    code = value;
    return length;
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Eight ASCII bytes at a time: most registration text is ASCII.
        while (i + 8 <= bytes.size()) {
            std::uint64_t word = 0;
            for (int k = 0; k < 8; ++k)
                word |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i + k])) << (8 * k);
            if (word & 0x8080808080808080ULL) break;
            i += 8;
        }
        if (i >= bytes.size()) break;
        char32_t code = 0;
        const std::size_t length = Utf8SequenceAt(bytes, i, code);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

bool HasUtf16LeMark(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

void AppendUtf16LeAsUtf8(const std::uint8_t* data, std::size_t size, std::string& out) {
    out.reserve(out.size() + size / 2);
    DecodeUnits(
        size / 2,
        [data](std::size_t i) { return static_cast<char32_t>(data[2 * i] | (data[2 * i + 1] << 8)); }, out);
    if (size % 2 != 0) out += static_cast<char>(data[size - 1]);
}

void AppendUtf16AsUtf8(std::u16string_view units, std::string& out) {
    out.reserve(out.size() + units.size());
    DecodeUnits(
        units.size(), [units](std::size_t i) { return static_cast<char32_t>(units[i]); }, out);
}

void AppendUtf8AsUtf16(std::string_view bytes, std::u16string& out) {
    out.reserve(out.size() + bytes.size());
    UnitSink sink{out};
    EncodeUtf8(bytes, sink);
}

char* WriteUtf8AsUtf16Le(std::string_view bytes, char* to) {
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    // Registry text is nearly all ASCII: its runs widen in place. No sequence of the other bytes holds an
    // ASCII byte, so the runs between are encoded alone just as they would be within the whole.
    while (at < end) {
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        const auto widen = [&zero](const char* from, char* into) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(into), _mm_unpacklo_epi8(block, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(into + 16), _mm_unpackhi_epi8(block, zero));
            return static_cast<unsigned>(_mm_movemask_epi8(block));
        };
        for (; end - at >= 32; at += 32, to += 64) {
            // Widened whole even when it holds other bytes: the room for its units is there, and the
            // units from the first other byte on are written again below.
            if (const unsigned high = widen(at, to) | widen(at + 16, to + 32) << 16; high != 0) {
                const auto ascii = static_cast<std::ptrdiff_t>(std::countr_zero(high));
                at += ascii;
                to += 2 * ascii;
                break;
            }
        }
#endif
        for (; at < end && static_cast<unsigned char>(*at) < 0x80; ++at, to += 2) {
            to[0] = *at;
            to[1] = '\0';
        }
        const char* run = at;
        while (at < end && static_cast<unsigned char>(*at) >= 0x80)
            ++at;
        LittleEndianSink sink{to};
        EncodeUtf8(std::string_view(run, static_cast<std::size_t>(at - run)), sink);
        to = sink.to;
    }
    return to;
}

void AppendUtf8AsUtf16Le(std::string_view bytes, std::string& out) {
    const std::size_t start = out.size();
    out.resize(start + 2 * bytes.size());
    out.resize(static_cast<std::size_t>(WriteUtf8AsUtf16Le(bytes, out.data() + start) - out.data()));
}

} // namespace hw::regfile
