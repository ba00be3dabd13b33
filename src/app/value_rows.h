// The value list's rows read from the registry: one record per value with the texts its columns show.
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
    std::string dataText;  // text up to the first NUL, decimal number, or spaced hex bytes
    std::string charText;  // byte types only: one printable character per byte
    // Type 7: every string of the value, so that editing and copying keep those the list does not show.
    std::vector<std::string> strings;
};

// Pictures of the shared image list the rows use.
inline constexpr int kPictureBytesValue = 2;
inline constexpr int kPictureNumberValue = 3;
inline constexpr int kPictureTextValue = 4;

inline constexpr const char* kDefaultValueCaption = "<Unknow Name>";

struct ValueRow {
    std::string caption;
    std::string typeColumn;
    std::string sizeColumn;
    std::string dataColumn;
    int picture = kPictureBytesValue;
    TViewData record;
};

// The row of one value whose data has been read (size = the queried size).
ValueRow MakeValueRow(const std::string& keyPath, const std::string& valueName, DWORD type, const BYTE* data,
                      DWORD size);

// One row per value of the key at keyPath, in the registry's order; values whose type or size cannot be
// queried are left out, and a key that cannot be opened gives no rows.
std::vector<ValueRow> ReadValueRows(const std::string& keyPath);

} // namespace hw::app
