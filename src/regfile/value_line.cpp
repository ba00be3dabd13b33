#include "regfile/value_line.h"

#include "regfile/ansi_codec.h"
#include "regfile/utf16.h"

#include <algorithm>
#include <cstring>

namespace hw::regfile {

namespace {

// The next c at or after from, or end; memchr scans far faster than a loop over single bytes.
const char* Next(const char* from, const char* end, char c) {
    if (from == end) return end;
    const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return found ? static_cast<const char*>(found) : end;
}

constexpr char kUpperDigits[] = "0123456789ABCDEF";
constexpr char kLowerDigits[] = "0123456789abcdef";

// A string comes back from "name"="text" only when it ends with its one NUL and holds no NUL or line end.
bool IsPlainString(const BYTE* data, std::size_t size) {
    if (size == 0 || data[size - 1] != 0) return false;
    const char* text = reinterpret_cast<const char*>(data);
    const char* end = text + size - 1;
    return Next(text, end, '\0') == end && Next(text, end, '\r') == end && Next(text, end, '\n') == end;
}

// Comma-separated upper-case pairs, written into place.
void AppendByteText(const BYTE* data, std::size_t size, std::string& out) {
    if (size == 0) return;
    const std::size_t start = out.size();
    out.resize(start + 3 * size - 1, ',');
    char* at = out.data() + start;
    for (std::size_t i = 0; i < size; ++i, at += 3) {
        at[0] = kUpperDigits[data[i] >> 4];
        at[1] = kUpperDigits[data[i] & 0x0F];
    }
}

void AppendDWord(const BYTE* data, std::string& out) {
    const DWORD number = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<DWORD>(data[3]) << 24);
    char digits[8];
    for (int i = 7, shift = 0; i >= 0; --i, shift += 4)
        digits[i] = kUpperDigits[(number >> shift) & 0x0F];
    out.append(digits, sizeof digits);
}

void AppendTypeNumber(DWORD type, std::string& out) {
    char digits[8];
    int count = 0;
    do {
        digits[count++] = kLowerDigits[type & 0x0F];
        type >>= 4;
    } while (type != 0);
    while (count > 0)
        out += digits[--count];
}

} // namespace

void AppendEscapedRegText(std::string_view text, std::string& out) {
    const char* at = text.data();
    const char* const end = at + text.size();
    const char* slash = Next(at, end, '\\');
    const char* quote = Next(at, end, '"');
    for (;;) {
        const char* escaped = std::min(slash, quote);
        out.append(at, escaped);
        if (escaped == end) return;
        out += '\\';
        out += *escaped;
        at = escaped + 1;
        if (escaped == slash)
            slash = Next(at, end, '\\');
        else
            quote = Next(at, end, '"');
    }
}

bool FitsOnOneLine(std::string_view name) {
    const char* end = name.data() + name.size();
    return Next(name.data(), end, '\r') == end && Next(name.data(), end, '\n') == end;
}

bool AppendValueLine(std::string_view name, DWORD type, const BYTE* data, std::size_t size, bool version5,
                     std::string& out) {
    const std::size_t start = out.size();
    out += '"';
    AppendEscapedRegText(name, out);
    out += "\"=";
    if (type == REG_SZ && IsPlainString(data, size)) {
        out += '"';
        AppendEscapedRegText(std::string_view(reinterpret_cast<const char*>(data), size - 1), out);
        out += '"';
    } else if (type == REG_DWORD && size == 4) {
        out += "dword:";
        AppendDWord(data, out);
    } else if (type == REG_BINARY) {
        out += "hex:";
        AppendByteText(data, size, out);
    } else {
        out += "hex(";
        AppendTypeNumber(type, out);
        out += "):";
        if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) {
            AppendByteText(data, size, out);
            return true;
        }
        const std::string_view text(reinterpret_cast<const char*>(data), size);
        std::string payload;
        if (version5) {
            AppendUtf8AsUtf16Le(text, payload);
        } else if (!AnsiCodec::Current().Encode(text, payload)) {
            out.resize(start);
            return false;
        }
        AppendByteText(reinterpret_cast<const BYTE*>(payload.data()), payload.size(), out);
    }
    return true;
}

} // namespace hw::regfile
