#include "regfile/reg_text_out.h"

namespace hw::regfile {

namespace {
constexpr std::size_t kFlushSize = 1 << 20;
}

void RegTextOut::EndLine() {
    if (lines_ != nullptr) {
        lines_->push_back(text_);
        text_.clear();
        return;
    }
    text_ += "\r\n";
    if (text_.size() >= kFlushSize) WriteBuffered();
}

void RegTextOut::WriteBuffered() {
    if (!failed_ && !text_.empty() && std::fwrite(text_.data(), 1, text_.size(), file_) != text_.size()) {
        failed_ = true;
    }
    text_.clear();
}

bool RegTextOut::Finish() {
    if (file_ == nullptr) return true;
    WriteBuffered();
    if (std::fflush(file_) != 0) failed_ = true;
    return !failed_;
}

} // namespace hw::regfile
