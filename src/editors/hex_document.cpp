#include "editors/hex_document.h"

#include "core/value_text.h"
#include "util/text.h"

#include <algorithm>
#include <vector>

namespace hw::editors {

std::size_t HexLengthOf(std::size_t byteCount) {
    return byteCount == 0 ? 0 : 3 * byteCount - 1;
}

TextRange HexToCharRange(TextRange hex) {
    return {(hex.start + 1) / 3, (hex.length + 1) / 3};
}

TextRange CharToHexRange(TextRange chars) {
    if (chars.start == 0) return {0, chars.length == 0 ? 0 : 3 * chars.length - 1};
    return {3 * chars.start - 1, 3 * chars.length};
}

TextRange RoundedHexRange(TextRange hex, std::size_t hexLength) {
    if (hex.length == 0) return hex;
    const std::size_t firstByte = (hex.start + 1) / 3;
    const std::size_t start = firstByte == 0 ? 0 : firstByte * 3 - 1;
    const std::size_t after = hexLength > hex.end() ? hexLength - hex.end() : 0;
    const std::size_t end = after == 0 ? hexLength : hexLength - 3 * ((after + 2) / 3);
    return {start, end > start ? end - start : 0};
}

bool IsLetterOrDigit(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

char PrintableChar(unsigned char byte) {
    return IsLetterOrDigit(byte) ? static_cast<char>(byte) : '.';
}

char HexDigit(unsigned value) {
    return "0123456789ABCDEF"[value & 0x0F];
}

TextRange Selection::Range() const {
    return {std::min(anchor, caret), anchor > caret ? anchor - caret : caret - anchor};
}

void HexDocument::SetBytes(std::string bytes) {
    bytes_ = std::move(bytes);
    hex.Place(0);
    chars.Place(0);
}

std::size_t HexDocument::LineCount() const {
    return std::max<std::size_t>(1, (bytes_.size() + kBytesPerLine - 1) / kBytesPerLine);
}

char HexDocument::HexCharAt(std::size_t position) const {
    const auto byte = static_cast<unsigned char>(bytes_[position / 3]);
    switch (position % 3) {
    case 0:
        return HexDigit(byte >> 4);
    case 1:
        return HexDigit(byte);
    default:
        return ' ';
    }
}

std::string HexDocument::HexText() const {
    return HexText({0, HexLength()});
}

std::string HexDocument::HexText(TextRange range) const {
    const std::size_t end = std::min(range.end(), HexLength());
    std::string text;
    text.reserve(end > range.start ? end - range.start : 0);
    for (std::size_t position = range.start; position < end; ++position)
        text += HexCharAt(position);
    return text;
}

std::string HexDocument::PrintableText() const {
    std::string text(bytes_.size(), '.');
    std::transform(bytes_.begin(), bytes_.end(), text.begin(),
                   [](char byte) { return PrintableChar(static_cast<unsigned char>(byte)); });
    return text;
}

std::string HexDocument::LineText(std::size_t line) const {
    const std::size_t first = line * kBytesPerLine;
    const std::size_t count = first < bytes_.size() ? std::min(kBytesPerLine, bytes_.size() - first) : 0;
    std::string text(8, '0');
    for (std::size_t digit = 0, address = first; digit < 8; ++digit, address >>= 4)
        text[7 - digit] = HexDigit(static_cast<unsigned>(address & 0x0F));
    text += "  ";
    std::string hexPart = HexText({first * 3, HexLengthOf(count)});
    hexPart.resize(kHexCharsPerLine - 1, ' ');
    text += hexPart + "  ";
    for (std::size_t i = 0; i < count; ++i)
        text += PrintableChar(static_cast<unsigned char>(bytes_[first + i]));
    return text;
}

void HexDocument::RoundHexSelection() {
    if (hex.Range().length == 0) return;
    hex.Set(RoundedHexRange(hex.Range(), HexLength()));
    SyncCharsFromHex();
}

void HexDocument::SelectAll() {
    hex.Set({0, HexLength()});
    chars.Set({0, bytes_.size()});
}

void HexDocument::PlaceCarets(std::size_t hexPosition, std::size_t charIndex) {
    hex.Place(hexPosition);
    chars.Place(charIndex);
}

void HexDocument::Splice(std::size_t first, std::size_t count, std::string_view with) {
    bytes_.replace(first, count, with);
    const std::size_t after = first + with.size();
    PlaceCarets(CharToHexRange({after, 0}).start, after);
}

bool HexDocument::TypeHexDigit(char typed) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    const auto found = kDigits.find(util::UpperCaseAscii(std::string_view(&typed, 1))[0]);
    if (found == std::string_view::npos) return false;
    const auto value = static_cast<unsigned char>(found);
    const std::string newByte(1, static_cast<char>(value << 4));
    // A selection that does not cover whole bytes (Shift still held) is rounded before it is replaced.
    RoundHexSelection();
    const TextRange selection = hex.Range();
    const std::size_t p = selection.start;
    const std::size_t n = bytes_.size();
    std::size_t byteIndex = 0;
    std::size_t caret = 0;
    if (p > 0 && selection.end() == HexLength()) {
        byteIndex = (p + 1) / 3;
        bytes_.replace(byteIndex, n - byteIndex, newByte);
        caret = 3 * byteIndex + 1;
    } else if (p == 0) {
        if (n == 0 || selection.length == HexLength()) {
            bytes_ = newByte;
        } else if (selection.length > 0) {
            bytes_.replace(0, (selection.length + 1) / 3, newByte);
        } else {
            bytes_[0] = static_cast<char>((value << 4) | (bytes_[0] & 0x0F));
        }
        caret = 1;
    } else if (p % 3 == 0) {
        byteIndex = p / 3;
        bytes_[byteIndex] = static_cast<char>((value << 4) | (bytes_[byteIndex] & 0x0F));
        caret = p + 1;
    } else if (p % 3 == 1) {
        byteIndex = p / 3;
        bytes_[byteIndex] = static_cast<char>((bytes_[byteIndex] & 0xF0) | value);
        caret = p + 1;
    } else {
        byteIndex = p / 3 + 1;
        bytes_.replace(byteIndex, selection.length / 3, newByte);
        caret = 3 * byteIndex + 1;
    }
    PlaceCarets(caret, byteIndex + 1);
    return true;
}

bool HexDocument::TypeCharacter(unsigned char typed) {
    if (!IsLetterOrDigit(typed)) return false;
    const TextRange selection = chars.Range();
    Splice(selection.start, selection.length, std::string(1, static_cast<char>(typed)));
    return true;
}

bool HexDocument::DeleteInHex() {
    const std::size_t p = hex.Range().start;
    if (p >= HexLength()) return false;
    const std::size_t byteIndex = p % 3 == 2 ? p / 3 + 1 : p / 3;
    Splice(byteIndex, 1, {});
    return true;
}

bool HexDocument::DeleteInChars() {
    const TextRange selection = chars.Range();
    if (selection.start >= bytes_.size()) return false;
    Splice(selection.start, std::max<std::size_t>(selection.length, 1), {});
    return true;
}

bool HexDocument::RemoveHexSelection() {
    if (hex.Range().length == 0) return false;
    const TextRange bytes = HexToCharRange(hex.Range());
    Splice(bytes.start, bytes.length, {});
    return true;
}

std::string HexDocument::CopiedBytes() const {
    const TextRange selection = hex.Range();
    const bool wholeBytes = (selection.start == 0 || selection.start % 3 == 2) && selection.end() % 3 == 2;
    if (selection.length == 0) return {};
    if (wholeBytes) {
        const TextRange bytes = HexToCharRange(selection);
        return bytes_.substr(bytes.start, bytes.length);
    }
    // A part-byte selection reads back the way its text does.
    const std::string text = util::TrimBlanks(HexText(selection));
    std::vector<BYTE> bytes((text.size() + 1) / 3);
    std::size_t count = bytes.size();
    core::HexToBytes(text, bytes.data(), count);
    return std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

void HexDocument::Paste(std::string_view bytes) {
    const TextRange selection = hex.Range();
    if (selection.length > 0) {
        const TextRange replaced = HexToCharRange(selection);
        Splice(replaced.start, replaced.length, bytes);
        return;
    }
    // (p + 1) / 3 is the byte before which a caret on a digit or on the blank before it inserts.
    Splice((selection.start + 1) / 3, 0, bytes);
}

} // namespace hw::editors
