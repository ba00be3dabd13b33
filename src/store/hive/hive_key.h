// A key of the hive store as it is held in memory: read from its hive when first asked for, changed here,
// written back at commit.
#pragma once

#include "platform/winreg.h"

#include <hivex.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hw::store::hive {

class HiveFile;

struct HiveValue {
    std::string name;
    DWORD type = 0;
    std::string raw;  // the bytes in the hive (text as UTF-16)
    std::string text; // text types as the registry gives them (UTF-8); empty for other types
    std::string_view Data() const;
};

bool IsTextType(DWORD type);
// A value of that type and data, the text converted as the hive holds it.
HiveValue MakeValue(std::string_view name, DWORD type, std::string_view data);
// A value read from a hive, its bytes kept as they are.
HiveValue ReadValue(std::string name, DWORD type, std::string raw);

struct HiveKey {
    std::string name;
    HiveKey* parent = nullptr;
    HiveFile* file = nullptr; // null: a key of no file (the roots, stand-ins, links)
    hive_node_h node = 0;
    std::string linkTo; // a link: the name of its target among its parent's subkeys
    std::uint64_t modified = 0;
    bool childrenRead = false;
    bool valuesRead = false;
    bool valuesChanged = false;
    bool unreadable = false;
    bool deleted = false;
    std::vector<std::unique_ptr<HiveKey>> children; // in name order
    std::vector<HiveValue> values;
};

} // namespace hw::store::hive
