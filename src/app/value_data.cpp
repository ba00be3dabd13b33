#include "app/value_data.h"

#include "core/value_text.h"
#include "core/value_types.h"

#include <charconv>
#include <cstdint>

namespace hw::app {

std::vector<std::string> MultiStrings(const BYTE* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    // The list ends with an empty string after the last one's NUL.
    if (text.ends_with(std::string_view("\0\0", 2)))
        text.remove_suffix(2);
    else if (text.ends_with('\0'))
        text.remove_suffix(1);
    std::vector<std::string> strings;
    if (text.empty() && size == 0) return strings;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\0', start);
        strings.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return strings;
}

ValueBytes MultiStringData(const std::vector<std::string>& strings) {
    ValueBytes data;
    for (const std::string& text : strings) {
        data.insert(data.end(), text.begin(), text.end());
        data.push_back(0);
    }
    data.push_back(0);
    return data;
}

std::string JoinLines(const std::vector<std::string>& strings) {
    std::string text;
    for (std::size_t i = 0; i < strings.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += strings[i];
    }
    return text;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return lines;
}

ValueBytes TextData(const std::string& text) {
    ValueBytes data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

ValueBytes NumberData(DWORD type, DWORD number) {
    if (type == REG_DWORD_BIG_ENDIAN) number = core::SwapDWord(number);
    return {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8), static_cast<BYTE>(number >> 16),
            static_cast<BYTE>(number >> 24)};
}

ValueBytes HexTextData(const std::string& text) {
    ValueBytes data((text.size() + 2) / 3);
    std::size_t count = data.size();
    core::HexToBytes(text, data.data(), count);
    data.resize(count);
    return data;
}

std::optional<ValueBytes> CopyEntryData(const TValueCopyData& entry) {
    switch (core::ClassOfType(entry.type)) {
    case core::TypeClass::Text:
        if (entry.type == REG_MULTI_SZ)
            return MultiStringData(entry.strings.empty() ? std::vector<std::string>{entry.data}
                                                         : entry.strings);
        return TextData(entry.data);
    case core::TypeClass::Number: {
        std::uint32_t number = 0;
        const char* end = entry.data.data() + entry.data.size();
        const auto [stop, error] = std::from_chars(entry.data.data(), end, number);
        if (entry.data.empty() || error != std::errc() || stop != end) return std::nullopt;
        return NumberData(entry.type, number);
    }
    case core::TypeClass::Bytes:
        break;
    }
    return HexTextData(entry.data);
}

bool SetValueData(HKEY key, const std::string& name, DWORD type, const ValueBytes& data) {
    const BYTE none = 0;
    return RegSetValueExA(key, name.c_str(), 0, type, data.empty() ? &none : data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

} // namespace hw::app
