// Byte text, printable text and the two hexadecimal number conversions.
#include "core/value_text.h"

#include "util/text.h"

#include <algorithm>

namespace hw::core {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Stray characters are clamped to the nearest digit rather than rejected: byte text must always convert.
int TolerantDigit(unsigned char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    if (c < '0') return 0;
    if (c <= '9') return c - '0';
    if (c < 'A') return 9;
    if (c <= 'F') return c - 'A' + 10;
    return 15;
}

bool IsAsciiLetterOrDigit(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

std::string BytesToHex(const BYTE* bytes, std::size_t count, char separator) {
    std::string text;
    if (count == 0) return text;
    text.reserve(count * 3 - 1);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) text += separator;
        text += kHexDigits[bytes[i] >> 4];
        text += kHexDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string BytesToPrintable(const BYTE* bytes, std::size_t count) {
    std::string text(count, '.');
    for (std::size_t i = 0; i < count; ++i) {
        if (IsAsciiLetterOrDigit(bytes[i])) text[i] = static_cast<char>(bytes[i]);
    }
    return text;
}

std::int64_t HexPairToByte(std::string_view text) {
    if (text.size() >= 9) return -1;
    std::int64_t number = 0;
    for (char c : text)
        number = number * 16 + TolerantDigit(static_cast<unsigned char>(c));
    return number;
}

void HexToBytes(std::string_view text, BYTE* output, std::size_t& count) {
    const std::size_t first = text.find_first_not_of(" \t");
    const std::string_view pairs = first == std::string_view::npos
                                       ? std::string_view()
                                       : text.substr(first, text.find_last_not_of(" \t") - first + 1);
    // Each byte is the pair at 3i; the character between pairs is never read, so any separator works.
    count = std::min(count, (pairs.size() + 1) / 3);
    for (std::size_t i = 0; i < count; ++i)
        output[i] = static_cast<BYTE>(HexPairToByte(pairs.substr(3 * i, 2)));
}

DWORD HexToDWord(std::string_view text) {
    if (text.size() > 8) throw HexConversionError("Value overflow");
    DWORD number = 0;
    for (char c : util::UpperCaseAscii(text)) {
        const char* digit = std::find(kHexDigits, kHexDigits + 16, c);
        if (digit == kHexDigits + 16) throw HexConversionError("Invalid char");
        number = number * 16 + static_cast<DWORD>(digit - kHexDigits);
    }
    return number;
}

DWORD SwapDWord(DWORD value) {
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) | (value << 24);
}

} // namespace hw::core
