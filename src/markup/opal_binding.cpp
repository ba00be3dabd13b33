#include "markup/opal_binding.h"

#include "core/ascii_case.h"
#include "core/number_text.h"

#include <array>
#include <cctype>

namespace hw::markup {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::int64_t kMaxDword = 0xFFFFFFFFLL;

struct NamedNumber {
    std::string_view name;
    int number;
};

constexpr std::array kInputTypes = {
    NamedNumber{"textarea", 1}, NamedNumber{"button", 2}, NamedNumber{"checkbox", 3},
    NamedNumber{"radio", 4},    NamedNumber{"select", 5}, NamedNumber{"checklistbox", 6},
};

constexpr std::array kDataTypes = {
    NamedNumber{"REG_EXPAND_SZ", 2},
    NamedNumber{"REG_BINARY", 3},
    NamedNumber{"REG_DWORD", 4},
    NamedNumber{"REG_DWORD_LITTLE_ENDIAN", 4},
    NamedNumber{"REG_DWORD_BIG_ENDIAN", 5},
    NamedNumber{"REG_LINK", 6},
    NamedNumber{"REG_MULTI_SZ", 7},
    NamedNumber{"REG_RESOURCE_LIST", 8},
    NamedNumber{"REG_FULL_RESOURCE_DESCRIPTOR", 9},
    NamedNumber{"REG_RESOURCE_REQUIREMENTS_LIST", 10},
};

template <std::size_t N>
int NumberOfName(const std::array<NamedNumber, N>& table, std::string_view name, int fallback) {
    for (const NamedNumber& entry : table)
        if (core::EqualsIgnoringCase(entry.name, name)) return entry.number;
    return fallback;
}

// A number that fits in 32 bits unsigned; nothing otherwise.
std::optional<DWORD> FittingDword(std::string_view text) {
    const auto number = core::TextToInt64(text);
    if (!number || *number < 0 || *number > kMaxDword) return std::nullopt;
    return static_cast<DWORD>(*number);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace

InputType InputTypeOf(std::string_view typeAttribute) {
    return static_cast<InputType>(NumberOfName(kInputTypes, typeAttribute, 0));
}

DWORD DataTypeOf(std::string_view dataTypeAttribute) {
    return static_cast<DWORD>(NumberOfName(kDataTypes, dataTypeAttribute, REG_SZ));
}

bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

bool IsNumberType(DWORD type) {
    return type == REG_DWORD || type == REG_DWORD_BIG_ENDIAN;
}

OptionList::OptionList(const std::vector<std::string>& lines) {
    lines_.reserve(lines.size());
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        Line option{line.substr(0, equals),
                    equals == std::string::npos ? std::string() : line.substr(equals + 1)};
        if (!option.text.empty()) itemTexts_.push_back(option.text);
        lines_.push_back(std::move(option));
    }
}

std::string OptionList::ValueOf(std::string_view itemText) const {
    for (const Line& line : lines_)
        if (core::EqualsIgnoringCase(line.text, itemText)) return line.value;
    return {};
}

std::string NormalizeValueText(std::string_view text, DWORD type) {
    if (type == 0 || type > REG_RESOURCE_REQUIREMENTS_LIST) return {};
    if (IsTextType(type)) return std::string(text);
    if (IsNumberType(type)) return std::to_string(FittingDword(text).value_or(0));
    std::string pairs;
    int kept = 0;
    for (const char c : text) {
        if (!std::isalnum(static_cast<unsigned char>(c))) continue;
        pairs += c;
        if (++kept % 2 == 0) pairs += ' ';
    }
    return pairs;
}

std::optional<DWORD> DwordOfText(std::string_view text) {
    if (text.empty()) return 0;
    return FittingDword(text);
}

bool CheckBoxChecked(const std::vector<std::string>& lines, std::string_view currentText) {
    const std::string wanted = "true=" + std::string(currentText);
    for (const std::string& line : lines)
        if (core::EqualsIgnoringCase(line, wanted)) return true;
    return false;
}

std::string CheckBoxValueText(const OptionList& options, bool checked) {
    return options.ValueOf(checked ? "true" : "false");
}

int SelectedItemOf(const OptionList& options, std::string_view currentText) {
    const auto& items = options.ItemTexts();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (options.ValueOf(items[i]) == currentText) return static_cast<int>(i);
    return -1;
}

std::string SelectedItemValueText(const OptionList& options, int selected) {
    const auto& items = options.ItemTexts();
    if (selected < 0 || selected >= static_cast<int>(items.size())) return {};
    return options.ValueOf(items[static_cast<std::size_t>(selected)]);
}

std::vector<std::optional<bool>> CheckListStates(const OptionList& options, DWORD type,
                                                 std::string_view currentText) {
    const auto& items = options.ItemTexts();
    std::vector<std::optional<bool>> states(items.size());
    if (IsNumberType(type)) {
        const auto current = FittingDword(currentText);
        if (!current) return states;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (const auto bits = FittingDword(options.ValueOf(items[i])))
                states[i] = (*bits & *current) == *bits;
        return states;
    }
    if (IsTextType(type)) {
        const auto lines = SplitLines(currentText);
        for (std::size_t i = 0; i < items.size(); ++i) {
            const std::string value = options.ValueOf(items[i]);
            bool listed = false;
            for (std::string_view line : lines)
                listed = listed || core::EqualsIgnoringCase(line, value);
            states[i] = listed;
        }
        return states;
    }
    for (std::size_t i = 0; i < items.size(); ++i)
        states[i] = currentText.find(options.ValueOf(items[i])) != std::string_view::npos;
    return states;
}

std::string CheckListValueText(const OptionList& options, DWORD type, const std::vector<bool>& checked) {
    const auto& items = options.ItemTexts();
    std::string text;
    DWORD bits = 0;
    bool first = true;
    for (std::size_t i = 0; i < items.size() && i < checked.size(); ++i) {
        if (!checked[i]) continue;
        const std::string value = options.ValueOf(items[i]);
        if (IsNumberType(type)) {
            bits |= FittingDword(value).value_or(0);
        } else if (IsTextType(type)) {
            if (!first) text += kLineBreak;
            text += value;
            first = false;
        } else {
            text += kLineBreak;
            text += value;
        }
    }
    if (IsNumberType(type)) return bits == 0 ? std::string() : std::to_string(bits);
    return text;
}

} // namespace hw::markup
