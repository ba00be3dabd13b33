// Where exported lines go: a list of lines, or a file written through one large buffer.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace hw::regfile {

class AnsiCodec;

using RegLines = std::vector<std::string>;

class RegTextOut {
  public:
    // UTF-8 lines, as the store keeps text.
    explicit RegTextOut(RegLines& lines) : lines_(&lines) {}
    // A file, CR LF after each line: UTF-16LE after its byte-order mark (version 5 files), else text in
    // the ANSI code page. The file stays the caller's; Finish flushes it.
    RegTextOut(std::FILE* file, bool utf16);
    RegTextOut(const RegTextOut&) = delete;
    RegTextOut& operator=(const RegTextOut&) = delete;

    // Append the UTF-8 text of the line being built to it, then call EndLine. Earlier lines not yet
    // written may come before the line, so append only; DropLine takes back the line being built.
    std::string& Line() { return text_; }
    // False (and the line dropped) when the ANSI code page cannot hold the line.
    bool EndLine() {
        if (!utf16_) return EndOneLine();
        // CR LF, as every ASCII byte, ends any UTF-8 sequence: the lines widen together exactly as they
        // would one by one.
        text_.append("\r\n", 2);
        lineStart_ = text_.size();
        if (lineStart_ >= kUtf16ChunkSize) WriteLines();
        return true;
    }
    void DropLine() { text_.resize(lineStart_); }
    // Writes what is buffered; false when any write to the file failed.
    bool Finish();

  private:
    // Lines gather as UTF-8 and widen together: one pass over a block that stays in the cache instead of
    // a call per line. A line longer than this is written whole.
    static constexpr std::size_t kUtf16ChunkSize = 256 << 10;

    // A line of a list or of an ANSI file.
    bool EndOneLine();
    void Write(const char* bytes, std::size_t size);
    // UTF-16 files: widens the finished lines and writes them.
    void WriteLines();

    RegLines* lines_ = nullptr;
    std::FILE* file_ = nullptr;
    bool utf16_ = false;
    // UTF-8: the line being built, after the finished lines of a UTF-16 file that wait to be written.
    std::string text_;
    std::size_t lineStart_ = 0;
    std::unique_ptr<char[]> wide_; // the UTF-16LE of the finished lines, sized once, never cleared
    std::size_t wideSize_ = 0;
    const AnsiCodec* ansi_ = nullptr; // ANSI files: the code page, looked up once rather than per line
    std::string encoded_;             // ANSI files: the code page text waiting to be written
    bool failed_ = false;
    bool wroteAnsiLetters_ = false; // an ANSI file holds bytes above 0x7F ...
    bool allUtf8_ = true;           // ... that all happen to read as UTF-8 too
};

} // namespace hw::regfile
