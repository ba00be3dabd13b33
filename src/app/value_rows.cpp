#include "app/value_rows.h"

#include "app/value_data.h"
#include "core/key_info.h"
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "core/value_enum.h"
#include "core/value_text.h"
#include "core/value_types.h"
#include "i18n/text_table.h"

#include <algorithm>

namespace hw::app {

namespace {

constexpr std::size_t kDataColumnLength = 64;
// Each byte takes two digits and a blank: the bytes whose hex text reaches the column's end.
constexpr std::size_t kDataColumnBytes = (kDataColumnLength + 2) / 3;

} // namespace

std::string TViewData::DataText() const {
    return core::ValueTextsOf(type, data.data(), data.size()).value;
}

std::string TViewData::CharText() const {
    if (core::ClassOfType(type) != core::TypeClass::Bytes) return {};
    return core::BytesToPrintable(data.data(), data.size());
}

std::vector<std::string> TViewData::Strings() const {
    if (type != REG_MULTI_SZ) return {};
    return MultiStrings(data.data(), data.size());
}

std::string ValueRow::Caption() const {
    if (placeholder) return i18n::LookupText(i18n::Text::DefaultValueRow);
    return record.valueName.empty() ? i18n::LookupText(i18n::Text::UnknownName) : record.valueName;
}

std::string ValueRow::TypeColumn() const {
    return core::ValueTypeName(record.type);
}

std::string ValueRow::SizeColumn() const {
    if (placeholder) return {};
    return std::to_string(record.data.size());
}

std::string ValueRow::DataColumn() const {
    if (placeholder) return i18n::LookupText(i18n::Text::ValueNotSet);
    const std::vector<BYTE>& data = record.data;
    if (core::ClassOfType(record.type) != core::TypeClass::Bytes)
        return core::ValueTextsOf(record.type, data.data(), data.size()).display;
    std::string hex = core::BytesToHex(data.data(), std::min(data.size(), kDataColumnBytes), ' ');
    hex.resize(std::min(hex.size(), kDataColumnLength));
    return hex;
}

int ValueRow::Picture() const {
    switch (core::ClassOfType(record.type)) {
    case core::TypeClass::Text:
        return kPictureTextValue;
    case core::TypeClass::Number:
        return kPictureNumberValue;
    case core::TypeClass::Bytes:
        break;
    }
    return kPictureBytesValue;
}

ValueRow MakeValueRow(const std::string& keyPath, const std::string& valueName, DWORD type, const BYTE* data,
                      DWORD size) {
    ValueRow row;
    TViewData& record = row.record;
    record.type = type;
    record.keyPath = keyPath;
    record.valueName = valueName;
    record.data.assign(data, data + size);
    if (core::ClassOfType(type) == core::TypeClass::Number)
        record.number = core::NumberOfData(type, data, size);
    return row;
}

ValueRow DefaultPlaceholderRow(const std::string& keyPath) {
    ValueRow row;
    row.record.type = REG_SZ;
    row.record.keyPath = keyPath;
    row.placeholder = true;
    return row;
}

std::vector<ValueRow> ReadValueRows(const std::string& keyPath) {
    std::vector<ValueRow> rows;
    const core::ScopedKey key =
        core::OpenKey(core::RootKeyOfPath(keyPath), core::SubKeyOrEmpty(keyPath), KEY_READ);
    if (!key) return rows;
    const std::optional<core::KeyInfo> info = core::QueryKeyInfo(key.get());
    if (!info) return rows;
    rows.reserve(info->valueCount);
    core::VisitValues(key.get(), *info, [&](std::string_view name, DWORD type, const BYTE* data, DWORD size) {
        rows.push_back(MakeValueRow(keyPath, std::string(name), type, data, size));
        return true;
    });
    return rows;
}

} // namespace hw::app
