#include "regfile/line_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hw::regfile {

namespace {

constexpr std::size_t kBlockSize = 1 << 20;

// Offset of the first CR or LF in [text, text + size), or size.
std::size_t FindLineEnd(const char* text, std::size_t size) {
#if defined(__SSE2__)
    // Both characters in one pass, sixteen bytes at a time: lines are short, and two searches per line
    // cost more in calls than in bytes.
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    std::size_t at = 0;
    for (; at + 16 <= size; at += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        const int ends = _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, lineFeed), _mm_cmpeq_epi8(chunk, carriageReturn)));
        if (ends != 0) return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(ends)));
    }
    while (at < size && text[at] != '\n' && text[at] != '\r')
        ++at;
    return at;
#else
    const void* lineFeed = std::memchr(text, '\n', size);
    const std::size_t limit = lineFeed ? static_cast<const char*>(lineFeed) - text : size;
    const void* carriageReturn = std::memchr(text, '\r', limit);
    return carriageReturn ? static_cast<const char*>(carriageReturn) - text : limit;
#endif
}

} // namespace

bool VectorLineSource::Next(std::string_view& line) {
    if (index_ >= lines_.size()) return false;
    if (lines_[index_].size() > limit_) {
        tooLong_ = true;
        return false;
    }
    line = lines_[index_++];
    return true;
}

bool ReadInto(int fd, char* into, std::size_t size, std::size_t& got) {
    got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, into + got, size - got);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadBlock(int fd, std::string& into, std::size_t size) {
    const std::size_t old = into.size();
    into.resize(old + size);
    std::size_t got = 0;
    const bool read = ReadInto(fd, into.data() + old, size, got);
    into.resize(old + got);
    return read;
}

namespace {

class FileReader : public BlockReader {
  public:
    explicit FileReader(int fd) : fd_(fd) {}
    bool Read(std::string& into, std::size_t size) override { return ReadBlock(fd_, into, size); }

  private:
    int fd_;
};

} // namespace

TextLineSource::TextLineSource(std::string text) : buffer_(std::move(text)), atEnd_(true) {}

TextLineSource::TextLineSource(int fd, std::string start)
    : reader_(std::make_unique<FileReader>(fd)), buffer_(std::move(start)) {}

TextLineSource::TextLineSource(std::unique_ptr<BlockReader> reader) : reader_(std::move(reader)) {}

TextLineSource::~TextLineSource() = default;

std::uint64_t TextLineSource::Position() const {
    const std::uint64_t at = dropped_ + begin_;
    return reader_ ? reader_->FileOffset(at) : at;
}

bool TextLineSource::Refill() {
    if (atEnd_) return false;
    buffer_.erase(0, begin_);
    dropped_ += begin_;
    scanFrom_ -= begin_;
    begin_ = 0;
    // Grow with the text held so that a huge line is read in a number of steps logarithmic in its length, but
    // never hold more than one line over the limit.
    const std::size_t before = buffer_.size();
    const std::size_t room = limit_ + 1 > before ? limit_ + 1 - before : 1;
    if (!reader_->Read(buffer_, std::min(std::max(kBlockSize, before), room))) failed_ = true;
    if (buffer_.size() == before) atEnd_ = true;
    return true;
}

bool TextLineSource::Next(std::string_view& line) {
    for (;;) {
        if (skipLineFeed_) {
            if (begin_ == buffer_.size() && Refill()) continue;
            if (begin_ < buffer_.size() && buffer_[begin_] == '\n') ++begin_;
            skipLineFeed_ = false;
            scanFrom_ = begin_;
        }
        const char* text = buffer_.data();
        const std::size_t end = scanFrom_ + FindLineEnd(text + scanFrom_, buffer_.size() - scanFrom_);
        if (end - begin_ > limit_) {
            tooLong_ = true;
            return false;
        }
        if (end < buffer_.size()) {
            line = std::string_view(text + begin_, end - begin_);
            skipLineFeed_ = text[end] == '\r';
            begin_ = scanFrom_ = end + 1;
            return true;
        }
        scanFrom_ = end;
        if (Refill()) continue;
        if (begin_ == buffer_.size()) return false;
        line = std::string_view(text + begin_, buffer_.size() - begin_);
        begin_ = scanFrom_ = buffer_.size();
        return true;
    }
}

} // namespace hw::regfile
