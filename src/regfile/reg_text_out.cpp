#include "regfile/reg_text_out.h"

#include "regfile/ansi_codec.h"
#include "regfile/utf16.h"

namespace hw::regfile {

namespace {

constexpr std::size_t kFlushSize = 1 << 20;

bool HasHighBytes(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

} // namespace

RegTextOut::RegTextOut(std::FILE* file, bool utf16) : file_(file), utf16_(utf16) {
    if (utf16_) text_ = "\xFF\xFE";
}

bool RegTextOut::EndLine() {
    if (lines_ != nullptr) {
        lines_->push_back(line_);
        line_.clear();
        return true;
    }
    bool fits = true;
    if (utf16_) {
        line_ += "\r\n";
        AppendUtf8AsUtf16Le(line_, text_);
    } else {
        const std::size_t start = text_.size();
        fits = AnsiCodec::Current().Encode(line_, text_);
        if (fits) {
            const std::string_view written = std::string_view(text_).substr(start);
            if (HasHighBytes(written)) {
                wroteAnsiLetters_ = true;
                allUtf8_ = allUtf8_ && IsValidUtf8(written);
            }
            text_ += "\r\n";
        }
    }
    line_.clear();
    if (text_.size() >= kFlushSize) WriteBuffered();
    return fits;
}

void RegTextOut::WriteBuffered() {
    if (!failed_ && !text_.empty() && std::fwrite(text_.data(), 1, text_.size(), file_) != text_.size()) {
        failed_ = true;
    }
    text_.clear();
}

bool RegTextOut::Finish() {
    if (file_ == nullptr) return true;
    // Readers take a file that is valid UTF-8 for UTF-8: a comment with a byte UTF-8 never has keeps
    // letters such as "Ã©" what they are.
    if (wroteAnsiLetters_ && allUtf8_) {
        text_ += "; \xFF\r\n";
        allUtf8_ = false;
    }
    WriteBuffered();
    if (std::fflush(file_) != 0) failed_ = true;
    return !failed_;
}

} // namespace hw::regfile
