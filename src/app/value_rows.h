// The value list's rows read from the registry: one record per value, keeping the value's bytes; the texts
// its columns show are made from them when asked for.
#pragma once

#include "platform/winreg.h"

#include <string>
#include <vector>

namespace hw::app {

// The record behind one value-list row; value commands read the value's identity and data from it.
struct TViewData {
    DWORD number = 0; // types 4 and 5: the number in the machine's order
    DWORD type = 0;
    std::string keyPath;
    std::string valueName; // empty for the key's default value
    std::vector<BYTE> data;

    // The text up to the first NUL, the decimal number, or the spaced hex bytes.
    std::string DataText() const;
    // Byte types only: one printable character per byte.
    std::string CharText() const;
    // Type 7: every string of the value, so that editing and copying keep those the list does not show.
    std::vector<std::string> Strings() const;
};

// Pictures of the shared image list the rows use.
inline constexpr int kPictureBytesValue = 2;
inline constexpr int kPictureNumberValue = 3;
inline constexpr int kPictureTextValue = 4;

struct ValueRow {
    TViewData record;
    // The row standing for a default value not set: a REG_SZ with no data, created when it is edited.
    bool placeholder = false;

    std::string Caption() const;
    std::string TypeColumn() const;
    std::string SizeColumn() const;
    // A byte value shows the start of its hex text only, made from the bytes that fit.
    std::string DataColumn() const;
    int Picture() const;
};

// The row of one value whose data has been read.
ValueRow MakeValueRow(const std::string& keyPath, const std::string& valueName, DWORD type, const BYTE* data,
                      DWORD size);

// The "(Default)" row of the key at keyPath while it has no default value.
ValueRow DefaultPlaceholderRow(const std::string& keyPath);

// One row per value of the key at keyPath, in the registry's order, from one enumeration of its values;
// values that cannot be read are left out, and a key that cannot be opened gives no rows.
std::vector<ValueRow> ReadValueRows(const std::string& keyPath);

} // namespace hw::app
