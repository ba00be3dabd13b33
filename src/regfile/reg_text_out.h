// Where exported lines go: a list of lines, or a file written through one large buffer.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace hw::regfile {

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

    // The line being built: append UTF-8 text to it, then call EndLine. False (and the line dropped) when
    // the ANSI code page cannot hold it.
    std::string& Line() { return line_; }
    bool EndLine();
    // Writes what is buffered; false when any write to the file failed.
    bool Finish();

  private:
    void WriteBuffered();

    RegLines* lines_ = nullptr;
    std::FILE* file_ = nullptr;
    bool utf16_ = false;
    std::string line_;
    std::string text_; // encoded, waiting to be written
    bool failed_ = false;
    bool wroteAnsiLetters_ = false; // an ANSI file holds bytes above 0x7F ...
    bool allUtf8_ = true;           // ... that all happen to read as UTF-8 too
};

} // namespace hw::regfile
