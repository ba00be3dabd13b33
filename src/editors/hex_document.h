// The bytes a hex editor shows and its editing rules, worked out on positions in the byte text: two
// upper-case digits per byte, one blank between bytes (n bytes, 3n-1 characters), beside the character
// column (one character per byte). The text itself is never built; positions are mapped onto the bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hw::editors {

inline constexpr std::size_t kBytesPerLine = 16;
inline constexpr std::size_t kHexCharsPerLine = 3 * kBytesPerLine; // 47 shown, the last blank ends the line
inline constexpr std::size_t kPageLines = 16;

struct TextRange {
    std::size_t start = 0;
    std::size_t length = 0;
    std::size_t end() const { return start + length; }
    bool operator==(const TextRange&) const = default;
};

std::size_t HexLengthOf(std::size_t byteCount);
// A byte text range onto the character column and back (integer division throughout).
TextRange HexToCharRange(TextRange hex);
TextRange CharToHexRange(TextRange chars);
// A non-empty hex selection widened or narrowed to whole bytes: digit pairs from the start of the text,
// or a blank followed by digit pairs.
TextRange RoundedHexRange(TextRange hex, std::size_t hexLength);

bool IsLetterOrDigit(unsigned char byte);
// The character column's form of a byte: itself for letters and digits, otherwise a full stop.
char PrintableChar(unsigned char byte);
char HexDigit(unsigned value);

// One column's selection: the anchor stays while the caret moves.
struct Selection {
    std::size_t anchor = 0;
    std::size_t caret = 0;
    TextRange Range() const;
    void Set(TextRange range) { anchor = range.start, caret = range.end(); }
    void Place(std::size_t position) { anchor = caret = position; }
};

class HexDocument {
  public:
    const std::string& Bytes() const { return bytes_; }
    // Takes the bytes; both carets go to the start.
    void SetBytes(std::string bytes);
    std::size_t ByteCount() const { return bytes_.size(); }
    std::size_t HexLength() const { return HexLengthOf(bytes_.size()); }
    // Lines of 16 bytes; an empty text still has its one empty line.
    std::size_t LineCount() const;
    // The character at a byte text position (a digit, or the blank after a byte).
    char HexCharAt(std::size_t position) const;
    std::string HexText() const;
    std::string HexText(TextRange range) const;
    std::string PrintableText() const;
    // One line as printed: address, byte text padded to its full width, characters.
    std::string LineText(std::size_t line) const;

    Selection hex;
    Selection chars;
    TextRange HexRange() const { return hex.Range(); }
    TextRange CharRange() const { return chars.Range(); }
    void SyncCharsFromHex() { chars.Set(HexToCharRange(hex.Range())); }
    void SyncHexFromChars() { hex.Set(CharToHexRange(chars.Range())); }
    void RoundHexSelection();
    void SelectAll();

    // Editing; each returns false when nothing changed.
    bool TypeHexDigit(char typed);
    bool TypeCharacter(unsigned char typed);
    bool DeleteInHex();
    bool DeleteInChars();
    // Removes the bytes under the hex selection (Cut and Delete of the popup menu).
    bool RemoveHexSelection();
    // The bytes a copy of the hex selection holds: its text, trimmed, read back as bytes.
    std::string CopiedBytes() const;
    // Inserts before the byte the caret is in, after the byte whose blank it is on, at the end, or in
    // place of the hex selection.
    void Paste(std::string_view bytes);

  private:
    // Replaces count bytes at first and leaves both carets after the new ones.
    void Splice(std::size_t first, std::size_t count, std::string_view with);
    void PlaceCarets(std::size_t hexPosition, std::size_t charIndex);

    std::string bytes_;
};

} // namespace hw::editors
