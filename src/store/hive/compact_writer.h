// Writes a whole hive anew from the published description of the regf format: every key, value, security
// descriptor and class name once, packed into hive bins, with nothing left over from earlier changes.
#pragma once

#include "store/hive/hive_key.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace hw::store::hive {

struct HiveSource {
    // The key's subkeys and values, read from the old hive where they were not read yet.
    std::function<const std::vector<std::unique_ptr<HiveKey>>&(HiveKey&)> children;
    std::function<std::vector<HiveValue>(HiveKey&)> values;
    // The old file's bytes: keys read from it keep their flags, security descriptor and class name.
    std::string_view original;
};

// The bytes of the hive rooted at root.
std::string CompactHive(HiveKey& root, const HiveSource& source);

} // namespace hw::store::hive
