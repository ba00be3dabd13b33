#include "regfile/value_line.h"

#include "regfile/ansi_codec.h"
#include "regfile/line_source.h"
#include "regfile/utf16.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hw::regfile {

namespace {

constexpr char kUpperDigits[] = "0123456789ABCDEF";
constexpr char kLowerDigits[] = "0123456789abcdef";

// What the writers below may write past their text: they copy whole words and blocks, and the text after
// them writes over the rest.
constexpr std::size_t kSlack = 16;
// Room for the quotes and "=" around a name, the longest prefix ("hex(12345678):") and kSlack.
constexpr std::size_t kLineRoom = 48;

// Each byte's text with its comma, "XX,", followed by the "00," that makes it an ASCII character's
// UTF-16LE unit: a byte copies four bytes and moves on three, a unit copies eight and moves on six.
using PairText = std::array<char, 8>;
constexpr std::array<PairText, 256> MakePairTexts() {
    std::array<PairText, 256> texts{};
    for (std::size_t b = 0; b < texts.size(); ++b)
        texts[b] = {kUpperDigits[b >> 4], kUpperDigits[b & 0x0F], ',', '0', '0', ','};
    return texts;
}
constexpr std::array<PairText, 256> kPairTexts = MakePairTexts();

char* Put(char* to, std::string_view text) {
    std::memcpy(to, text.data(), text.size());
    return to + text.size();
}

// Makes out hold at least `room` bytes after `at`; returns where `at` now is.
char* MakeRoom(std::string& out, char* at, std::size_t room) {
    const auto used = static_cast<std::size_t>(at - out.data());
    if (used + room > out.size()) out.resize(used + room);
    return out.data() + used;
}

// "XX," for each byte; room for 3 * size + kSlack.
char* WritePairs(const BYTE* data, std::size_t size, char* to) {
    for (std::size_t i = 0; i < size; ++i, to += 3)
        std::memcpy(to, kPairTexts[data[i]].data(), 4);
    return to;
}

// "LL,HH," for each UTF-16LE unit of the text; room for 6 * size + kSlack. Runs of bytes other than ASCII
// go through the UTF-16 encoder into `wide`.
char* WriteUnitPairs(std::string_view text, char* to, std::string& wide) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            std::memcpy(to, kPairTexts[c].data(), 8);
            to += 6;
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < text.size() && static_cast<unsigned char>(text[end]) >= 0x80)
            ++end;
        wide.clear();
        AppendUtf8AsUtf16Le(text.substr(i, end - i), wide);
        to = WritePairs(reinterpret_cast<const BYTE*>(wide.data()), wide.size(), to);
        i = end;
    }
    return to;
}

char* WriteTypeNumber(DWORD type, char* to) {
    char digits[8];
    int count = 0;
    do {
        digits[count++] = kLowerDigits[type & 0x0F];
        type >>= 4;
    } while (type != 0);
    while (count > 0)
        *to++ = digits[--count];
    return to;
}

#if defined(__SSE2__)
// Sixteen bytes from `from`, of which `count` exist; the rest read as NUL.
__m128i LoadBlock(const char* from, std::size_t count) {
    if (count >= 16) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    alignas(16) char part[16] = {};
    std::memcpy(part, from, count);
    return _mm_load_si128(reinterpret_cast<const __m128i*>(part));
}
#endif

// Writes the text with a backslash before each backslash and double quote; room for 2 * size + kSlack.
// unquotable tells whether the text holds a NUL, CR or LF, which a quoted string cannot carry.
char* WriteEscaped(std::string_view text, char* to, bool& unquotable) {
    const char* from = text.data();
    const char* const end = from + text.size();
    bool controls = false;
#if defined(__SSE2__)
    // Runs without a character in question are copied sixteen bytes at a time; the controls NUL, LF and
    // CR are among the bytes up to CR, which the byte loop sorts out.
    const __m128i slash = _mm_set1_epi8('\\');
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i lastControl = _mm_set1_epi8('\r');
    while (from < end) {
        const std::size_t count = std::min<std::size_t>(16, static_cast<std::size_t>(end - from));
        const __m128i block = LoadBlock(from, count);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), block);
        const __m128i marked =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, slash), _mm_cmpeq_epi8(block, quote)),
                         _mm_cmpeq_epi8(_mm_min_epu8(block, lastControl), block));
        const auto plain = static_cast<std::size_t>(
            std::countr_zero(static_cast<unsigned>(_mm_movemask_epi8(marked)) | (1u << count)));
        from += plain;
        to += plain;
        if (plain == count) continue;
        const char c = *from++;
        if (c == '\\' || c == '"') *to++ = '\\';
        controls = controls || c == '\0' || c == '\r' || c == '\n';
        *to++ = c;
    }
#else
    for (; from < end; ++from) {
        const char c = *from;
        if (c == '\\' || c == '"') *to++ = '\\';
        controls = controls || c == '\0' || c == '\r' || c == '\n';
        *to++ = c;
    }
#endif
    unquotable = controls;
    return to;
}

} // namespace

bool FitsOnOneLine(std::string_view name) {
    return FindLineEnd(name.data(), name.size()) == name.size();
}

bool AppendValueLine(std::string_view name, DWORD type, const BYTE* data, std::size_t size, bool version5,
                     std::string& out) {
    const std::size_t start = out.size();
    // Room for every form but the text payloads, written through a pointer and trimmed at the end.
    char* at = MakeRoom(out, out.data() + start, 2 * name.size() + 3 * size + kLineRoom);
    bool unquotable = false;
    *at++ = '"';
    at = Put(WriteEscaped(name, at, unquotable), "\"=");
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A string comes back from "name"="text" only when it ends with its one NUL and holds no NUL or line end.
    if (type == REG_SZ && size > 0 && data[size - 1] == 0) {
        *at = '"';
        char* end = WriteEscaped(text.substr(0, size - 1), at + 1, unquotable);
        if (!unquotable) {
            *end++ = '"';
            out.resize(static_cast<std::size_t>(end - out.data()));
            return true;
        }
    }
    if (type == REG_DWORD && size == 4) {
        at = Put(at, "dword:");
        for (std::size_t i = 4; i-- > 0; at += 2)
            std::memcpy(at, kPairTexts[data[i]].data(), 2);
    } else {
        if (type == REG_BINARY) {
            at = WritePairs(data, size, Put(at, "hex:"));
        } else {
            at = Put(WriteTypeNumber(type, Put(at, "hex(")), "):");
            if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) {
                at = WritePairs(data, size, at);
            } else if (version5) {
                std::string wide;
                at = WriteUnitPairs(text, MakeRoom(out, at, 6 * size + kSlack), wide);
            } else {
                std::string payload;
                if (!AnsiCodec::Current().Encode(text, payload)) {
                    out.resize(start);
                    return false;
                }
                at = WritePairs(reinterpret_cast<const BYTE*>(payload.data()), payload.size(),
                                MakeRoom(out, at, 3 * payload.size() + kSlack));
            }
        }
        if (at[-1] == ',') --at; // none after the last byte
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
    return true;
}

} // namespace hw::regfile
