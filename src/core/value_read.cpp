// Reading one value and turning its data into the value text and the display text.
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "core/value_text.h"
#include "core/value_types.h"

#include <algorithm>
#include <cstring>

namespace hw::core {

namespace {

std::string NumberDisplay(DWORD number) {
    const BYTE bigEndian[4] = {static_cast<BYTE>(number >> 24), static_cast<BYTE>(number >> 16),
                               static_cast<BYTE>(number >> 8), static_cast<BYTE>(number)};
    std::string hex = BytesToHex(bigEndian, 4, ' ');
    std::erase(hex, ' ');
    return "0x" + hex + " (" + std::to_string(number) + ")";
}

} // namespace

DWORD NumberOfData(DWORD type, const BYTE* data, std::size_t size) {
    DWORD number = 0;
    if (size > 0) std::memcpy(&number, data, std::min<std::size_t>(size, sizeof number));
    return type == REG_DWORD_BIG_ENDIAN ? SwapDWord(number) : number;
}

std::optional<RawValue> QueryValueData(HKEY key, const std::string& valueName) {
    RawValue value;
    DWORD size = 0;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    if (size == 0) return value;
    value.data.resize(size);
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &value.type, value.data.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(std::min<std::size_t>(size, value.data.size()));
    return value;
}

std::optional<RawValue> QueryRawValue(HKEY key, const std::string& valueName) {
    auto value = QueryValueData(key, valueName);
    if (!value || value->data.empty()) return std::nullopt;
    return value;
}

std::optional<RawValue> ReadRawValue(HKEY root, const std::string& subKey, const std::string& valueName) {
    const ScopedKey key = OpenKeyOrUseRoot(root, subKey, KEY_QUERY_VALUE);
    if (!key) return std::nullopt;
    return QueryRawValue(key.get(), valueName);
}

ValueTexts ValueTextsOf(DWORD type, const BYTE* data, std::size_t size) {
    switch (ClassOfType(type)) {
    case TypeClass::Text: {
        const auto* text = reinterpret_cast<const char*>(data);
        std::string value(text, std::find(text, text + size, '\0'));
        std::string display = '"' + value + '"';
        return {std::move(value), std::move(display)};
    }
    case TypeClass::Number: {
        const DWORD number = NumberOfData(type, data, size);
        return {std::to_string(number), NumberDisplay(number)};
    }
    case TypeClass::Bytes:
        break;
    }
    return {BytesToHex(data, size, ' '), BytesToPrintable(data, size)};
}

ValueTexts ReadValueTexts(HKEY root, const std::string& subKey, const std::string& valueName) {
    const auto value = ReadRawValue(root, subKey, valueName);
    if (!value) return {};
    return ValueTextsOf(value->type, value->data.data(), value->data.size());
}

std::string ReadValueText(HKEY root, const std::string& subKey, const std::string& valueName) {
    return ReadValueTexts(root, subKey, valueName).value;
}

ValueTexts ReadValueTextsOfPath(const std::string& path, const std::string& valueName) {
    return ReadValueTexts(RootKeyOfPath(path), SubKeyOrEmpty(path), valueName);
}

std::string ReadValueTextOfPath(const std::string& path, const std::string& valueName) {
    return ReadValueText(RootKeyOfPath(path), SubKeyOrEmpty(path), valueName);
}

} // namespace hw::core
