#include "regfile/reg_encoding.h"

#include "regfile/ansi_codec.h"
#include "regfile/utf16.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace hw::regfile {

namespace {

constexpr std::size_t kRawBlock = 1 << 20;
// A line this long without a line end is converted as it stands.
constexpr std::size_t kLongestCarry = 16 << 20;

// Converts blocks of a file to UTF-8, each cut where no character can straddle the cut.
class DecodingReader : public BlockReader {
  public:
    DecodingReader(int fd, std::string start, RegEncoding encoding)
        : fd_(fd), raw_(std::move(start)), encoding_(encoding) {}

    bool Read(std::string& into, std::size_t size) override {
        const std::size_t before = into.size();
        bool readable = true;
        while (into.size() == before && (!atEnd_ || !raw_.empty())) {
            if (!atEnd_) {
                const std::size_t had = raw_.size();
                readable = ReadBlock(fd_, raw_, std::max(size, kRawBlock));
                atEnd_ = !readable || raw_.size() == had;
                rawRead_ += raw_.size() - had;
            }
            const std::size_t cut = atEnd_ ? raw_.size() : Cut();
            Convert(std::string_view(raw_).substr(0, cut), into);
            raw_.erase(0, cut);
        }
        textMade_ += into.size() - before;
        return readable;
    }

    std::uint64_t FileOffset(std::uint64_t at) const override {
        return textMade_ == 0
                   ? 0
                   : static_cast<std::uint64_t>(static_cast<double>(at) * static_cast<double>(rawRead_) /
                                                static_cast<double>(textMade_));
    }

  private:
    // Where the raw bytes can be cut: after the last line feed, or after the last whole UTF-16 unit that
    // is not a high surrogate.
    std::size_t Cut() const {
        if (encoding_ == RegEncoding::Utf16Le) {
            std::size_t cut = raw_.size() & ~std::size_t{1};
            if (cut >= 2 && (static_cast<unsigned char>(raw_[cut - 1]) & 0xFC) == 0xD8) cut -= 2;
            return cut;
        }
        const std::size_t lineFeed = raw_.rfind('\n');
        if (lineFeed != std::string::npos) return lineFeed + 1;
        return raw_.size() > kLongestCarry ? raw_.size() : 0;
    }

    void Convert(std::string_view bytes, std::string& into) const {
        if (encoding_ == RegEncoding::Utf16Le)
            AppendUtf16LeAsUtf8(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), into);
        else
            AnsiCodec::Current().Decode(bytes, into);
    }

    int fd_;
    std::string raw_;
    RegEncoding encoding_;
    bool atEnd_ = false;
    std::uint64_t rawRead_ = 0;
    std::uint64_t textMade_ = 0;
};

// Whether bytes are valid UTF-8. Nearly all of a registration file is ASCII, which is skipped a word at a
// time; only the runs of other bytes are checked, and as no sequence holds an ASCII byte, each run alone.
bool IsValidUtf8Text(std::string_view bytes) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    while (at < end) {
        while (end - at >= 32) {
            std::uint64_t words[4];
            std::memcpy(words, at, sizeof words);
            if ((words[0] | words[1] | words[2] | words[3]) & kHighBits) break;
            at += sizeof words;
        }
        while (at < end && static_cast<unsigned char>(*at) < 0x80)
            ++at;
        const char* const run = at;
        while (at < end && static_cast<unsigned char>(*at) >= 0x80)
            ++at;
        if (!IsValidUtf8(std::string_view(run, static_cast<std::size_t>(at - run)))) return false;
    }
    return true;
}

} // namespace

RegEncoding EncodingOfRegBytes(std::string_view bytes) {
    if (HasUtf16LeMark(bytes)) return RegEncoding::Utf16Le;
    return IsValidUtf8Text(bytes) ? RegEncoding::Utf8 : RegEncoding::Ansi;
}

std::string DecodeRegBytes(std::string_view bytes, RegEncoding encoding) {
    std::string text;
    switch (encoding) {
    case RegEncoding::Utf8:
        text.assign(bytes);
        break;
    case RegEncoding::Ansi:
        AnsiCodec::Current().Decode(bytes, text);
        break;
    case RegEncoding::Utf16Le:
        if (HasUtf16LeMark(bytes)) bytes.remove_prefix(2);
        AppendUtf16LeAsUtf8(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), text);
        break;
    }
    return text;
}

void AppendPayloadText(const std::uint8_t* data, std::size_t size, bool version5, RegEncoding encoding,
                       std::string& out) {
    const bool twoByte = (version5 || encoding == RegEncoding::Utf16Le) && size % 2 == 0;
    if (twoByte)
        AppendUtf16LeAsUtf8(data, size, out);
    else if (encoding == RegEncoding::Ansi)
        AnsiCodec::Current().Decode(std::string_view(reinterpret_cast<const char*>(data), size), out);
    else
        out.append(reinterpret_cast<const char*>(data), size);
}

std::unique_ptr<LineSource> OpenRegText(int fd, std::string start, RegEncoding encoding) {
    if (encoding == RegEncoding::Utf8) return std::make_unique<TextLineSource>(fd, std::move(start));
    if (encoding == RegEncoding::Utf16Le && HasUtf16LeMark(start)) start.erase(0, 2);
    return std::make_unique<TextLineSource>(std::make_unique<DecodingReader>(fd, std::move(start), encoding));
}

bool WholeFileIsUtf8(int fd, const std::string& start, bool& ok) {
    ok = true;
    const off_t here = ::lseek(fd, 0, SEEK_CUR);
    if (here < 0) {
        ok = false;
        return false;
    }
    // Checked a block at a time, read into a buffer that needs no clearing; a sequence the block cuts is
    // carried over whole to the front of the buffer.
    constexpr std::size_t kLongestSequence = 4;
    const std::size_t front = std::max(start.size(), kLongestSequence);
    const auto buffer = std::make_unique_for_overwrite<char[]>(front + kRawBlock);
    std::memcpy(buffer.get(), start.data(), start.size());
    std::size_t held = start.size();
    bool valid = true;
    for (bool atEnd = false; valid && !atEnd;) {
        std::size_t got = 0;
        if (!ReadInto(fd, buffer.get() + held, kRawBlock, got)) ok = false;
        atEnd = !ok || got == 0;
        const std::string_view pending(buffer.get(), held + got);
        std::size_t cut = pending.size();
        if (!atEnd) {
            std::size_t last = cut;
            while (last > 0 && cut - last < kLongestSequence - 1 &&
                   (static_cast<unsigned char>(pending[last - 1]) & 0xC0) == 0x80)
                --last;
            if (last > 0 && static_cast<unsigned char>(pending[last - 1]) >= 0xC0) cut = last - 1;
        }
        valid = IsValidUtf8Text(pending.substr(0, cut));
        held = pending.size() - cut;
        std::memmove(buffer.get(), buffer.get() + cut, held);
    }
    if (::lseek(fd, here, SEEK_SET) != here) ok = false;
    return valid;
}

} // namespace hw::regfile
