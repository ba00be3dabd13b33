// Where exported lines go: a list of lines, or a file written through one large buffer.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace hw::regfile {

using RegLines = std::vector<std::string>;

class RegTextOut {
  public:
    explicit RegTextOut(RegLines& lines) : lines_(&lines) {}
    // The file stays the caller's; Finish flushes it.
    explicit RegTextOut(std::FILE* file) : file_(file) {}
    RegTextOut(const RegTextOut&) = delete;
    RegTextOut& operator=(const RegTextOut&) = delete;

    // The line being built: append to it, then call EndLine.
    std::string& Line() { return text_; }
    void EndLine();
    // Writes what is buffered; false when any write to the file failed.
    bool Finish();

  private:
    void WriteBuffered();

    RegLines* lines_ = nullptr;
    std::FILE* file_ = nullptr;
    std::string text_;
    bool failed_ = false;
};

} // namespace hw::regfile
