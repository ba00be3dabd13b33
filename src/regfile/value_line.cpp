#include "regfile/value_line.h"

#include "regfile/ansi_codec.h"
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

// What a text holds that a quoted string or a line cannot carry.
struct Controls {
    bool nul = false;
    bool lineEnd = false;
};

#if defined(__SSE2__)
// Walks the text sixteen bytes at a time: visit(from, count) gets count (1 to 16) bytes at from, with 31
// bytes readable from there on: the text itself while that much of it is left, then a copy of its tail
// padded with NULs. Stops when visit returns false.
template <typename Visit> void ForEachBlock(std::string_view text, Visit visit) {
    const char* from = text.data();
    const char* const end = from + text.size();
    for (; end - from >= 32; from += 16)
        if (!visit(from, 16u)) return;
    const auto left = static_cast<std::size_t>(end - from);
    if (left == 0) return;
    alignas(16) char tail[48] = {};
    std::memcpy(tail, from, left);
    for (std::size_t at = 0; at < left; at += 16)
        if (!visit(tail + at, static_cast<unsigned>(std::min<std::size_t>(16, left - at)))) return;
}

__m128i LoadBlock(const char* from) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
}

// The bits of the block's first count bytes that equal c.
unsigned Matches(__m128i block, char c, unsigned count) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(c)))) &
           (0xFFFFu >> (16 - count));
}
#endif

// Writes the text with a backslash before each backslash and double quote; room for 2 * size + kSlack.
char* WriteEscaped(std::string_view text, char* to, Controls& found) {
#if defined(__SSE2__)
    unsigned nuls = 0;
    unsigned lineEnds = 0;
    ForEachBlock(text, [&](const char* from, unsigned count) {
        const __m128i block = LoadBlock(from);
        nuls |= Matches(block, '\0', count);
        lineEnds |= Matches(block, '\r', count) | Matches(block, '\n', count);
        unsigned escapes = Matches(block, '\\', count) | Matches(block, '"', count);
        // The block goes out whole; after each backslash put in, the rest of it goes out again behind it.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), block);
        unsigned done = 0;
        while (escapes != 0) {
            const auto at = static_cast<unsigned>(std::countr_zero(escapes));
            escapes &= escapes - 1;
            to += at - done;
            *to++ = '\\';
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to), LoadBlock(from + at));
            done = at;
        }
        to += count - done;
        return true;
    });
    found = {nuls != 0, lineEnds != 0};
#else
    found = {};
    for (const char c : text) {
        if (c == '\\' || c == '"') *to++ = '\\';
        found.nul = found.nul || c == '\0';
        found.lineEnd = found.lineEnd || c == '\r' || c == '\n';
        *to++ = c;
    }
#endif
    return to;
}

} // namespace

bool FitsOnOneLine(std::string_view name) {
#if defined(__SSE2__)
    bool fits = true;
    ForEachBlock(name, [&fits](const char* from, unsigned count) {
        const __m128i block = LoadBlock(from);
        fits = (Matches(block, '\r', count) | Matches(block, '\n', count)) == 0;
        return fits;
    });
    return fits;
#else
    return name.find_first_of("\r\n") == std::string_view::npos;
#endif
}

ValueLineResult AppendValueLine(std::string_view name, DWORD type, const BYTE* data, std::size_t size,
                                bool version5, std::string& out) {
    const std::size_t start = out.size();
    // Room for every form but the text payloads, written through a pointer and trimmed at the end.
    char* at = MakeRoom(out, out.data() + start, 2 * name.size() + 3 * size + kLineRoom);
    Controls inName;
    *at++ = '"';
    at = Put(WriteEscaped(name, at, inName), "\"=");
    const ValueLineResult written =
        inName.lineEnd ? ValueLineResult::NameSplitsLine : ValueLineResult::Written;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A string comes back from "name"="text" only when it ends with its one NUL and holds no NUL or line end.
    if (type == REG_SZ && size > 0 && data[size - 1] == 0) {
        Controls inText;
        *at = '"';
        char* end = WriteEscaped(text.substr(0, size - 1), at + 1, inText);
        if (!inText.nul && !inText.lineEnd) {
            *end++ = '"';
            out.resize(static_cast<std::size_t>(end - out.data()));
            return written;
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
                    return ValueLineResult::NotInCodePage;
                }
                at = WritePairs(reinterpret_cast<const BYTE*>(payload.data()), payload.size(),
                                MakeRoom(out, at, 3 * payload.size() + kSlack));
            }
        }
        if (at[-1] == ',') --at; // none after the last byte
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
    return written;
}

} // namespace hw::regfile
