#include "editors/dword_text.h"

#include "core/value_text.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>

namespace hw::editors {

namespace {

constexpr std::uint64_t kDecimalTypingLimit = 2147483647;

} // namespace

bool KeystrokeAllowed(NumberBase base, std::string_view text, char c) {
    std::string candidate(text);
    candidate += c;
    if (base == NumberBase::Decimal) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        std::uint64_t value = 0;
        const auto [end, error] =
            std::from_chars(candidate.data(), candidate.data() + candidate.size(), value);
        return error == std::errc() && end == candidate.data() + candidate.size() &&
               value <= kDecimalTypingLimit;
    }
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    try {
        core::HexToDWord(candidate);
        return true;
    } catch (const core::HexConversionError&) {
        return false;
    }
}

std::optional<DWORD> ReadDecimal(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return static_cast<DWORD>(static_cast<std::uint64_t>(value));
}

NumberReading ReadNumber(NumberBase base, std::string_view text) {
    if (base == NumberBase::Decimal) {
        if (std::optional<DWORD> number = ReadDecimal(text)) return {number, {}};
        return {std::nullopt, std::string(text)};
    }
    try {
        return {core::HexToDWord(text), {}};
    } catch (const core::HexConversionError& failure) {
        return {std::nullopt, failure.what()};
    }
}

std::string DecimalText(DWORD number) {
    return std::to_string(number);
}

std::string HexText(DWORD number) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(number));
    return text;
}

std::string SwitchBase(NumberBase to, std::string_view text) {
    if (text.empty()) return {};
    const NumberBase from = to == NumberBase::Decimal ? NumberBase::Hexadecimal : NumberBase::Decimal;
    const std::optional<DWORD> number = ReadNumber(from, text).number;
    if (!number) return "0";
    return to == NumberBase::Decimal ? DecimalText(*number) : HexText(*number);
}

} // namespace hw::editors
