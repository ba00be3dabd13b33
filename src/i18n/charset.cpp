#include "i18n/charset.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <string>

namespace hw::i18n {

namespace {

struct LanguageCharset {
    std::string_view language;
    int charset;
};

// Languages whose texts the single-byte or double-byte system code pages of these sets hold.
constexpr LanguageCharset kLanguageCharsets[] = {
    {"ja", 128}, {"ko", 129}, {"el", 161}, {"tr", 162}, {"az", 162}, {"vi", 163}, {"he", 177},
    {"iw", 177}, {"yi", 177}, {"ar", 178}, {"fa", 178}, {"ur", 178}, {"lt", 186}, {"lv", 186},
    {"et", 186}, {"ru", 204}, {"uk", 204}, {"be", 204}, {"bg", 204}, {"mk", 204}, {"kk", 204},
    {"ky", 204}, {"mn", 204}, {"tt", 204}, {"sr", 204}, {"th", 222}, {"pl", 238}, {"cs", 238},
    {"sk", 238}, {"hu", 238}, {"ro", 238}, {"hr", 238}, {"sl", 238}, {"bs", 238}, {"sq", 238},
};

constexpr struct {
    int charset;
    std::string_view section;
} kCharsetSections[] = {
    {2, "SYMBOL"},    {77, "MAC"},         {128, "SHIFTJIS"}, {129, "HANGEUL"},
    {130, "JOHAB"},   {134, "GB2312"},     {136, "BIG5"},     {161, "GREEK"},
    {162, "TURKISH"}, {163, "VIETNAMESE"}, {177, "HEBREW"},   {178, "ARABIC"},
    {186, "BALTIC"},  {204, "RUSSIAN"},    {222, "THAI"},     {238, "EASTEUROPE"},
};

int ChineseCharset(std::string_view territory, std::string_view modifier) {
    if (territory == "TW" || territory == "HK" || territory == "MO" || modifier == "traditional") return 136;
    return 134;
}

// The variable's value when it is a whole number.
std::optional<int> NumberInVariable(const char* variable) {
    const char* value = std::getenv(variable);
    if (!value || !*value) return std::nullopt;
    const std::string_view text = value;
    int number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return number;
}

} // namespace

int CharsetOfLocale(std::string_view locale) {
    // language[_territory][.codeset][@modifier]
    std::size_t at = locale.find('@');
    std::string_view modifier = at == std::string_view::npos ? std::string_view() : locale.substr(at + 1);
    std::string_view name = locale.substr(0, std::min(locale.find('.'), at));
    std::size_t underscore = name.find('_');
    std::string_view language = name.substr(0, underscore);
    std::string_view territory =
        underscore == std::string_view::npos ? std::string_view() : name.substr(underscore + 1);

    if (language == "zh") return ChineseCharset(territory, modifier);
    if (language == "sr" && modifier == "latin") return 238;
    for (const LanguageCharset& entry : kLanguageCharsets) {
        if (entry.language == language) return entry.charset;
    }
    return 0;
}

int SystemDefaultCharset() {
    if (const std::optional<int> forced = NumberInVariable("HIVEWRIGHT_CHARSET")) return *forced;
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        if (const char* locale = std::getenv(variable); locale && *locale) return CharsetOfLocale(locale);
    }
    return 0;
}

int AnsiCodePage() {
    constexpr int kWestern = 1252;
    const std::optional<int> chosen = NumberInVariable("HIVEWRIGHT_ANSI_CODEPAGE");
    return chosen && *chosen > 0 ? *chosen : kWestern;
}

std::string_view CharsetSection(int charset) {
    for (const auto& entry : kCharsetSections) {
        if (entry.charset == charset) return entry.section;
    }
    return {};
}

} // namespace hw::i18n
