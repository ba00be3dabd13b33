#include "regfile/value_line.h"

#include "regfile/ansi_codec.h"
#include "regfile/utf16.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
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
    std::size_t i = 0;
    // Four bytes read at once, then each byte's text.
    for (; i + 4 <= size; i += 4, to += 12) {
        std::uint32_t four = 0;
        std::memcpy(&four, data + i, 4);
        for (std::ptrdiff_t k = 0; k < 4; ++k, four >>= 8)
            std::memcpy(to + 3 * k, kPairTexts[four & 0xFF].data(), 4);
    }
    for (; i < size; ++i, to += 3)
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
__m128i LoadBlock(const char* from) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
}

// The last count (below sixteen) bytes of a text, NULs after them. Read in overlapping words straight into
// registers: a copy to memory read back as a block would stall the load.
__m128i LoadTail(const char* from, std::size_t count) {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    if (count >= 8) {
        std::memcpy(&low, from, 8);
        std::memcpy(&high, from + count - 8, 8);
        high = count > 8 ? high >> (8 * (16 - count)) : 0;
    } else if (count >= 4) {
        std::uint32_t first = 0;
        std::uint32_t last = 0;
        std::memcpy(&first, from, 4);
        std::memcpy(&last, from + count - 4, 4);
        low = first | std::uint64_t{last} << (8 * (count - 4));
    } else if (count > 0) {
        const auto byteAt = [from](std::size_t at) {
            return std::uint64_t{static_cast<unsigned char>(from[at])} << (8 * at);
        };
        low = byteAt(0) | byteAt(count / 2) | byteAt(count - 1);
    }
    return _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
}

// Calls visit(block, count) for each sixteen bytes of the text; the last block may hold fewer (count),
// NULs after them.
template <typename Visit> void ForEachBlock(std::string_view text, Visit visit) {
    const char* from = text.data();
    std::size_t left = text.size();
    for (; left >= 16; from += 16, left -= 16)
        if (!visit(LoadBlock(from), 16u)) return;
    if (left != 0) visit(LoadTail(from, left), static_cast<unsigned>(left));
}

// The block's bytes from `by` on, moved to its start. Each 64-bit half shifts on its own; a shift by 64
// bits or more, or by a negative count, gives zero.
__m128i ShiftDown(__m128i block, unsigned by) {
    const int bits = 8 * static_cast<int>(by);
    const __m128i high = _mm_srli_si128(block, 8);
    const __m128i low = _mm_or_si128(_mm_srl_epi64(block, _mm_cvtsi32_si128(bits)),
                                     _mm_sll_epi64(high, _mm_cvtsi32_si128(64 - bits)));
    return _mm_or_si128(low, _mm_srl_epi64(high, _mm_cvtsi32_si128(bits - 64)));
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
    ForEachBlock(text, [&](__m128i block, unsigned count) {
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
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to), ShiftDown(block, at));
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
    ForEachBlock(name, [&fits](__m128i block, unsigned count) {
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
