#include "app/value_rows.h"

#include "app/value_data.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/value_text.h"
#include "core/value_types.h"

#include <charconv>

namespace hw::app {

namespace {

constexpr std::size_t kDataColumnLength = 64;

DWORD ParseNumber(const std::string& text) {
    DWORD number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

} // namespace

ValueRow MakeValueRow(const std::string& keyPath, const std::string& valueName, DWORD type, const BYTE* data,
                      DWORD size) {
    ValueRow row;
    row.caption = valueName.empty() ? kDefaultValueCaption : valueName;
    row.record.keyPath = keyPath;
    row.record.valueName = valueName;
    row.record.type = type;
    row.typeColumn = core::ValueTypeName(type);
    row.sizeColumn = std::to_string(size);

    const core::ValueTexts texts = core::ValueTextsOf(type, data, size);
    row.record.dataText = texts.value;
    switch (core::ClassOfType(type)) {
    case core::TypeClass::Text:
        row.picture = kPictureTextValue;
        row.dataColumn = "\"" + texts.value + "\"";
        if (type == REG_MULTI_SZ) row.record.strings = MultiStrings(data, size);
        break;
    case core::TypeClass::Number:
        row.picture = kPictureNumberValue;
        row.record.number = ParseNumber(texts.value);
        row.dataColumn = texts.display;
        break;
    case core::TypeClass::Bytes:
        row.picture = kPictureBytesValue;
        row.record.charText = texts.display;
        row.dataColumn = texts.value.substr(0, kDataColumnLength);
        break;
    }
    return row;
}

std::vector<ValueRow> ReadValueRows(const std::string& keyPath) {
    std::vector<ValueRow> rows;
    HKEY key = 0;
    if (RegOpenKeyExA(core::RootKeyOfPath(keyPath), core::SubKeyOrEmpty(keyPath).c_str(), 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return rows;

    core::NameList names;
    core::ListValueNames(key, names);
    rows.reserve(names.size());
    std::vector<BYTE> buffer;
    for (const std::string& name : names) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) continue;
        buffer.assign(size, 0);
        DWORD read = size;
        if (size > 0 &&
            RegQueryValueExA(key, name.c_str(), nullptr, nullptr, buffer.data(), &read) != ERROR_SUCCESS)
            read = 0;
        rows.push_back(MakeValueRow(keyPath, name, type, buffer.data(), read));
        // The size column shows the queried size even when the second read came back short.
        rows.back().sizeColumn = std::to_string(size);
    }
    RegCloseKey(key);
    return rows;
}

} // namespace hw::app
