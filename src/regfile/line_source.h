// Lines of a registration file, one at a time, split at CR, LF or CR LF, without copying them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hw::regfile {

class LineSource {
  public:
    virtual ~LineSource() = default;
    // The next line without its end; the view stays valid until the next call.
    virtual bool Next(std::string_view& line) = 0;
    // True when reading stopped early because the input could not be read.
    virtual bool Failed() const { return false; }
    // Bytes of the input taken so far, for progress.
    virtual std::uint64_t Position() const { return 0; }
    // A line longer than the limit ends the input instead of being read whole (LineTooLong tells).
    void SetLineLimit(std::size_t limit) { limit_ = limit; }
    bool LineTooLong() const { return tooLong_; }

  protected:
    std::size_t limit_ = kMaxLineLength;
    bool tooLong_ = false;

  public:
    static constexpr std::size_t kMaxLineLength = std::size_t{256} << 20;
};

class VectorLineSource : public LineSource {
  public:
    explicit VectorLineSource(const std::vector<std::string>& lines) : lines_(lines) {}
    bool Next(std::string_view& line) override;

  private:
    const std::vector<std::string>& lines_;
    std::size_t index_ = 0;
};

// Where a TextLineSource gets its text: a file's bytes, or their conversion to UTF-8.
class BlockReader {
  public:
    virtual ~BlockReader() = default;
    // Appends up to about `size` bytes of text; appends nothing only at the end; false on a read error.
    virtual bool Read(std::string& into, std::size_t size) = 0;
    // The offset in the file that text offset `at` came from, near enough for progress.
    virtual std::uint64_t FileOffset(std::uint64_t at) const { return at; }
};

// Splits text held in memory, or read a block at a time so that memory stays flat.
class TextLineSource : public LineSource {
  public:
    // The whole text, already in memory.
    explicit TextLineSource(std::string text);
    // start: bytes already read from fd; the rest is read on demand. The descriptor stays the caller's.
    TextLineSource(int fd, std::string start);
    explicit TextLineSource(std::unique_ptr<BlockReader> reader);
    ~TextLineSource() override;
    bool Next(std::string_view& line) override;
    bool Failed() const override { return failed_; }
    std::uint64_t Position() const override;

  private:
    // Drops the consumed text and reads another block; false when nothing more can come.
    bool Refill();

    std::unique_ptr<BlockReader> reader_;
    std::string buffer_;
    std::uint64_t dropped_ = 0; // bytes of earlier blocks already erased from the buffer
    std::size_t begin_ = 0;     // start of the next line
    std::size_t scanFrom_ = 0;  // text before it holds no line end
    bool atEnd_ = false;
    bool failed_ = false;
    bool skipLineFeed_ = false; // the last line ended with CR: a LF right after it belongs to that end
};

// Appends up to `size` bytes read from fd (fewer at its end); false on a read error.
bool ReadBlock(int fd, std::string& into, std::size_t size);
// Reads up to `size` bytes from fd into `into` (fewer at its end), counting them in got; false on a read
// error.
bool ReadInto(int fd, char* into, std::size_t size, std::size_t& got);

} // namespace hw::regfile
