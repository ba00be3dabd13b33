#include "search/result_row.h"

#include "core/value_types.h"

namespace hw::search {

std::string KeyNameOfPath(const std::string& keyPath) {
    const std::size_t slash = keyPath.rfind('\\');
    return slash == std::string::npos ? keyPath : keyPath.substr(slash + 1);
}

ResultRowTexts ResultRowTextsOf(const SearchResult& result) {
    ResultRowTexts row;
    row.atKey = result.keyPath;
    if (result.isKey()) {
        row.caption = KeyNameOfPath(result.keyPath);
        // A single blank; assign(count, char) keeps GCC 12's false -Wrestrict quiet in release builds.
        row.data.assign(1, ' ');
        row.raw.assign(1, ' ');
        return row;
    }
    row.caption = result.valueName;
    row.atValue = result.valueName;
    SetRowDataTexts(row, result.valueType, core::ReadValueTextsOfPath(result.keyPath, result.valueName));
    return row;
}

void SetRowDataTexts(ResultRowTexts& row, DWORD type, const core::ValueTexts& texts) {
    if (core::ClassOfType(type) == core::TypeClass::Bytes) {
        row.data = texts.value;
        row.raw = texts.display;
    } else {
        row.data = texts.display;
        row.raw = texts.value;
    }
}

} // namespace hw::search
