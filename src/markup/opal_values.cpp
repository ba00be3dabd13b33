#include "markup/opal_values.h"

#include "core/ascii_case.h"
#include "core/value_text.h"
#include "util/text.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

namespace hw::markup {

namespace {

struct NamedColor {
    std::string_view name;
    TColor color;
};

// WHITE is deliberately missing: it reads as the default.
constexpr NamedColor kNamedColors[] = {
    {"RED", 0x0000FF},    {"GREEN", 0x008000},   {"BLUE", 0xFF0000},    {"GRAY", 0x808080},
    {"NAVY", 0x800000},   {"SKYBLUE", 0xF0CAA6}, {"CREAM", 0xF0FBFF},   {"AQUA", 0xFFFF00},
    {"YELLOW", 0x00FFFF}, {"BLACK", 0x000000},   {"FUCHSIA", 0xFF00FF}, {"MAROON", 0x000080},
    {"TEAL", 0x808000},
};

template <typename Number> std::optional<Number> WholeNumber(std::string_view text, int base) {
    Number number{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number, base);
    if (error != std::errc() || stop != end) return std::nullopt;
    return number;
}

// A signed 32-bit integer, decimal or hexadecimal after "$".
std::optional<std::int32_t> SignedInteger(std::string_view text) {
    const bool negative = text.starts_with('-');
    const std::string_view digits = negative ? text.substr(1) : text;
    if (!digits.starts_with('$')) return WholeNumber<std::int32_t>(text, 10);
    const auto hex = WholeNumber<std::uint32_t>(digits.substr(1), 16);
    if (!hex) return std::nullopt;
    return static_cast<std::int32_t>(negative ? 0u - *hex : *hex);
}

std::optional<TColor> RgbColor(std::string_view text) {
    const std::size_t open = text.find('(');
    const std::size_t firstComma = text.find(',', open + 1);
    if (firstComma == std::string_view::npos) return std::nullopt;
    const std::size_t secondComma = text.find(',', firstComma + 1);
    if (secondComma == std::string_view::npos) return std::nullopt;
    const std::size_t close = text.find(')', secondComma + 1);
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view parts[] = {text.substr(open + 1, firstComma - open - 1),
                                      text.substr(firstComma + 1, secondComma - firstComma - 1),
                                      text.substr(secondComma + 1, close - secondComma - 1)};
    TColor color = 0;
    int shift = 0;
    for (std::string_view part : parts) {
        const auto component = WholeNumber<std::int32_t>(util::TrimBlanks(part), 10);
        if (!component || *component < 0 || *component > 255) return std::nullopt;
        color |= static_cast<TColor>(*component) << shift;
        shift += 8;
    }
    return color;
}

std::optional<TColor> HexColor(std::string_view digits) {
    try {
        return core::HexToDWord(digits);
    } catch (const core::HexConversionError&) {
        return std::nullopt;
    }
}

std::optional<TColor> ParseColor(std::string_view text) {
    if (text.starts_with("RGB(")) return RgbColor(text);
    if (text.starts_with('#')) return HexColor(text.substr(1));
    if (text.starts_with("0X")) return HexColor(text.substr(2));
    for (const NamedColor& named : kNamedColors)
        if (text == named.name) return named.color;
    if (const auto number = SignedInteger(text)) return static_cast<TColor>(*number);
    return std::nullopt;
}

} // namespace

TColor ColorValue(std::string_view text, TColor defaultColor) {
    if (text.empty()) return defaultColor;
    return ParseColor(util::UpperCaseAscii(text)).value_or(defaultColor);
}

bool BoolValue(std::string_view text, bool defaultFlag) {
    const auto is = [text](std::string_view word) { return core::EqualsIgnoringCase(text, word); };
    if (defaultFlag) return !(is("no") || is("false") || is("0"));
    return is("yes") || is("true") || is("1");
}

} // namespace hw::markup
