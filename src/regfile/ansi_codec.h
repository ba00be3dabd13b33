// Single-byte ("ANSI") text in a Windows code page, converted to and from the UTF-8 we keep.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace hw::regfile {

class AnsiCodec {
  public:
    // The codec of the code page that i18n::AnsiCodePage names now.
    static const AnsiCodec& Current();
    explicit AnsiCodec(int codePage);
    ~AnsiCodec();
    AnsiCodec(const AnsiCodec&) = delete;
    AnsiCodec& operator=(const AnsiCodec&) = delete;

    int CodePage() const { return codePage_; }
    // Appends the UTF-8 form of the bytes. A single byte the code page leaves undefined becomes the control
    // character of its number, as Windows reads it; a byte that starts no character of a double-byte code
    // page is kept as it is.
    void Decode(std::string_view bytes, std::string& out) const;
    // Appends the code page's bytes for UTF-8 text; false (out unchanged) when some character has no form
    // in the code page or the text is not UTF-8.
    bool Encode(std::string_view text, std::string& out) const;

  private:
    struct Converters;

    int codePage_;
    bool singleByte_ = true;
    std::array<std::string, 128> upper_;             // UTF-8 of bytes 0x80..0xFF, single-byte code pages
    std::unordered_map<char32_t, char> fromUnicode_; // the reverse, single-byte code pages
    std::unique_ptr<Converters> converters_;         // iconv both ways, double-byte code pages
};

} // namespace hw::regfile
