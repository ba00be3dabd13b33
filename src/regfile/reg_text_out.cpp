#include "regfile/reg_text_out.h"

#include "regfile/ansi_codec.h"
#include "regfile/utf16.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace hw::regfile {

namespace {

constexpr std::size_t kFlushSize = 1 << 20;

bool HasHighBytes(std::string_view text) {
    std::size_t at = 0;
    // Eight bytes at a time: lines are nearly all ASCII.
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, 8);
        if ((word & 0x8080808080808080ULL) != 0) return true;
    }
    for (; at < text.size(); ++at)
        if (static_cast<unsigned char>(text[at]) >= 0x80) return true;
    return false;
}

} // namespace

RegTextOut::RegTextOut(std::FILE* file, bool utf16) : file_(file), utf16_(utf16) {
    if (!utf16_) {
        ansi_ = &AnsiCodec::Current();
        return;
    }
    Write("\xFF\xFE", 2);
    text_.reserve(kUtf16ChunkSize + kUtf16ChunkSize / 4);
}

bool RegTextOut::EndOneLine() {
    if (lines_ != nullptr) {
        lines_->push_back(text_);
        text_.clear();
        return true;
    }
    const std::size_t start = encoded_.size();
    const bool fits = ansi_->Encode(text_, encoded_);
    if (fits) {
        const std::string_view written = std::string_view(encoded_).substr(start);
        if (HasHighBytes(written)) {
            wroteAnsiLetters_ = true;
            allUtf8_ = allUtf8_ && IsValidUtf8(written);
        }
        encoded_ += "\r\n";
    }
    text_.clear();
    if (encoded_.size() >= kFlushSize) {
        Write(encoded_.data(), encoded_.size());
        encoded_.clear();
    }
    return fits;
}

void RegTextOut::Write(const char* bytes, std::size_t size) {
    if (!failed_ && size != 0 && std::fwrite(bytes, 1, size, file_) != size) failed_ = true;
}

void RegTextOut::WriteLines() {
    const std::string_view lines = std::string_view(text_).substr(0, lineStart_);
    if (2 * lines.size() > wideSize_) {
        // As large as the chunk may grow before its lines are written: chunks end a little past the mark
        // by lines of any length, and each new buffer would be new pages to fault in.
        wideSize_ = 2 * std::max(lines.size(), text_.capacity());
        wide_ = std::make_unique_for_overwrite<char[]>(wideSize_);
    }
    Write(wide_.get(), static_cast<std::size_t>(WriteUtf8AsUtf16Le(lines, wide_.get()) - wide_.get()));
    text_.erase(0, lineStart_);
    lineStart_ = 0;
}

bool RegTextOut::Finish() {
    if (file_ == nullptr) return true;
    if (utf16_) {
        WriteLines();
    } else {
        // Readers take a file that is valid UTF-8 for UTF-8: a comment with a byte UTF-8 never has keeps
        // letters such as "Ã©" what they are.
        if (wroteAnsiLetters_ && allUtf8_) {
            encoded_ += "; \xFF\r\n";
            allUtf8_ = false;
        }
        Write(encoded_.data(), encoded_.size());
        encoded_.clear();
    }
    if (std::fflush(file_) != 0) failed_ = true;
    return !failed_;
}

} // namespace hw::regfile
