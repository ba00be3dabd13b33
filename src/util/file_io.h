// Reading and writing whole files as bytes.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace hw::util {

// The file's bytes; nothing when it does not exist or cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& fileName);

// Creates or truncates the file and writes bytes; false when that fails.
bool WriteFileBytes(const std::string& fileName, std::string_view bytes);

// Writes a sibling temp file and renames it over the file, so that a crash leaves either the old or the
// new content, never a part. An existing file keeps its permissions; a symbolic link keeps pointing at
// the (replaced) target.
bool ReplaceFileAtomically(const std::string& fileName, std::string_view bytes);

// A file written through a sibling temp file that replaces its target only on Commit, with the same
// guarantees; dropped when not committed. A target that exists but is no regular file (a device, a pipe)
// is written in place.
class ReplacingFile {
  public:
    explicit ReplacingFile(const std::string& fileName);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Null when the file could not be created.
    std::FILE* stream() const { return stream_; }
    // Flushes, syncs and renames; false when any of it failed (the target is then untouched).
    bool Commit();

  private:
    void Drop();

    std::FILE* stream_ = nullptr;
    std::string target_;
    std::string temp_; // empty when writing in place
    unsigned mode_ = 0;
    bool keepMode_ = false;
};

} // namespace hw::util
