#include "store/hive/hive_key.h"

#include "store/wine/wine_text.h"

namespace hw::store::hive {

std::string_view HiveValue::Data() const {
    return IsTextType(type) ? std::string_view(text) : std::string_view(raw);
}

bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

HiveValue MakeValue(std::string_view name, DWORD type, std::string_view data) {
    HiveValue value{std::string(name), type, std::string(data), {}};
    if (!IsTextType(type)) return value;
    value.text = value.raw;
    value.raw.clear();
    for (char16_t unit : wine::Utf16FromUtf8(data)) {
        value.raw += static_cast<char>(unit & 0xFF);
        value.raw += static_cast<char>(unit >> 8);
    }
    return value;
}

HiveValue ReadValue(std::string name, DWORD type, std::string raw) {
    HiveValue value{std::move(name), type, std::move(raw), {}};
    if (!IsTextType(type)) return value;
    std::u16string units(value.raw.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(value.raw[2 * i]) |
                                         (static_cast<unsigned char>(value.raw[2 * i + 1]) << 8));
    value.text = wine::Utf8FromUtf16(units);
    return value;
}

} // namespace hw::store::hive
