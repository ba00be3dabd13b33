#include "i18n/text_table.h"

#include "platform/ini_profile.h"
#include "util/text.h"

#include <array>
#include <cctype>
#include <charconv>
#include <optional>

namespace hw::i18n {

namespace {

std::array<std::string, kTextCount>& Overrides() {
    static std::array<std::string, kTextCount> overrides;
    return overrides;
}

std::optional<int> TextNumberOf(std::string_view key) {
    const std::string trimmed = util::TrimBlanks(key);
    long long number = 0;
    auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), number);
    if (error != std::errc() || end != trimmed.data() + trimmed.size() || number < 0 || number >= kTextCount)
        return std::nullopt;
    return static_cast<int>(number);
}

bool IsFormatFlag(char c) {
    return c == '-' || c == '.' || (c >= '0' && c <= '9');
}

} // namespace

std::string LookupText(int number) {
    if (number < 0 || number >= kTextCount) return {};
    const std::string& loaded = Overrides()[number];
    return loaded.empty() ? std::string(kBuiltInTexts[number]) : loaded;
}

void LoadTextSection(const std::string& fileName, const std::string& section) {
    auto& overrides = Overrides();
    for (std::string& text : overrides)
        text.clear();
    if (fileName.empty() || section.empty()) return;
    for (const std::string& entry : platform::ReadProfileSection(fileName, section)) {
        std::size_t equals = entry.find('=');
        if (equals == std::string::npos) continue;
        if (std::optional<int> number = TextNumberOf(std::string_view(entry).substr(0, equals)))
            overrides[*number] = entry.substr(equals + 1);
    }
}

std::string FormatPattern(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string result;
    result.reserve(pattern.size());
    auto nextArg = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            result.push_back(pattern[i]);
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            result.push_back('%');
            ++i;
            continue;
        }
        std::size_t letter = i + 1;
        while (letter < pattern.size() && IsFormatFlag(pattern[letter]))
            ++letter;
        if (letter >= pattern.size() || !std::isalpha(static_cast<unsigned char>(pattern[letter]))) {
            result.push_back('%');
            continue;
        }
        if (nextArg != args.end()) result.append(*nextArg++);
        i = letter;
    }
    return result;
}

std::string FormatText(Text text, std::initializer_list<std::string_view> args) {
    return FormatPattern(LookupText(text), args);
}

} // namespace hw::i18n
