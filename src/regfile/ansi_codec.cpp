#include "regfile/ansi_codec.h"

#include "i18n/charset.h"
#include "regfile/utf16.h"

#include <cerrno>
#include <iconv.h>
#include <map>
#include <mutex>
#include <stdexcept>

namespace hw::regfile {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

std::string IconvName(int codePage) {
    return "CP" + std::to_string(codePage);
}

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// One conversion step; the result of iconv() and the bytes it wrote.
std::size_t Convert(iconv_t converter, const char*& in, std::size_t& inLeft, std::string& out) {
    char buffer[4096];
    char* to = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t result = ::iconv(converter, const_cast<char**>(&in), &inLeft, &to, &room);
    out.append(buffer, static_cast<std::size_t>(to - buffer));
    return result;
}

// Converts all of text; a byte iconv refuses is kept as it is, or ends the conversion with false.
bool ConvertAll(iconv_t converter, std::string_view text, std::string& out, bool keepRefused) {
    const char* in = text.data();
    std::size_t inLeft = text.size();
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        if (Convert(converter, in, inLeft, out) != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        if (!keepRefused) return false;
        out.push_back(*in++);
        --inLeft;
        ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

} // namespace

struct AnsiCodec::Converters {
    iconv_t toUtf8 = kNoConverter;
    iconv_t fromUtf8 = kNoConverter;
    std::mutex lock; // an iconv descriptor keeps state between calls
    ~Converters() {
        if (toUtf8 != kNoConverter) ::iconv_close(toUtf8);
        if (fromUtf8 != kNoConverter) ::iconv_close(fromUtf8);
    }
};

AnsiCodec::AnsiCodec(int codePage) : codePage_(codePage), converters_(std::make_unique<Converters>()) {
    converters_->toUtf8 = ::iconv_open("UTF-8", IconvName(codePage).c_str());
    converters_->fromUtf8 = ::iconv_open(IconvName(codePage).c_str(), "UTF-8");
    if (converters_->toUtf8 == kNoConverter || converters_->fromUtf8 == kNoConverter)
        throw std::runtime_error("code page " + std::to_string(codePage) + " is not known to this system");
    for (int byte = 0x80; byte <= 0xFF && singleByte_; ++byte) {
        const char single = static_cast<char>(byte);
        const char* in = &single;
        std::size_t inLeft = 1;
        std::string& utf8 = upper_[byte - 0x80];
        ::iconv(converters_->toUtf8, nullptr, nullptr, nullptr, nullptr);
        if (Convert(converters_->toUtf8, in, inLeft, utf8) != static_cast<std::size_t>(-1)) continue;
        if (errno == EINVAL) singleByte_ = false; // a lead byte: the code page has two-byte characters
        utf8.clear();
        AppendCodePoint(static_cast<char32_t>(byte), utf8);
    }
    if (!singleByte_) return;
    for (int byte = 0xFF; byte >= 0x80; --byte) {
        char32_t code = 0;
        Utf8SequenceAt(upper_[byte - 0x80], 0, code);
        fromUnicode_[code] = static_cast<char>(byte);
    }
}

AnsiCodec::~AnsiCodec() = default;

const AnsiCodec& AnsiCodec::Current() {
    static std::mutex lock;
    static std::map<int, std::unique_ptr<AnsiCodec>> codecs;
    const int codePage = i18n::AnsiCodePage();
    const std::lock_guard<std::mutex> guard(lock);
    std::unique_ptr<AnsiCodec>& codec = codecs[codePage];
    if (!codec) codec = std::make_unique<AnsiCodec>(codePage);
    return *codec;
}

void AnsiCodec::Decode(std::string_view bytes, std::string& out) const {
    out.reserve(out.size() + bytes.size());
    if (singleByte_) {
        std::size_t run = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            if (byte < 0x80) continue;
            out.append(bytes.data() + run, i - run).append(upper_[byte - 0x80]);
            run = i + 1;
        }
        out.append(bytes.data() + run, bytes.size() - run);
        return;
    }
    const std::lock_guard<std::mutex> guard(converters_->lock);
    // A byte that is no character of the code page (or is cut off at the end) stays as it is.
    ConvertAll(converters_->toUtf8, bytes, out, true);
}

bool AnsiCodec::Encode(std::string_view text, std::string& out) const {
    if (IsAscii(text)) {
        out.append(text);
        return true;
    }
    const std::size_t start = out.size();
    if (singleByte_) {
        for (std::size_t i = 0; i < text.size();) {
            char32_t code = 0;
            const std::size_t length = Utf8SequenceAt(text, i, code);
            const auto found = length == 0 || code < 0x80 ? fromUnicode_.end() : fromUnicode_.find(code);
            if (length == 0 || (code >= 0x80 && found == fromUnicode_.end())) {
                out.resize(start);
                return false;
            }
            out.push_back(code < 0x80 ? static_cast<char>(code) : found->second);
            i += length;
        }
        return true;
    }
    if (!IsValidUtf8(text)) return false;
    const std::lock_guard<std::mutex> guard(converters_->lock);
    if (ConvertAll(converters_->fromUtf8, text, out, false)) return true;
    out.resize(start);
    return false;
}

} // namespace hw::regfile
