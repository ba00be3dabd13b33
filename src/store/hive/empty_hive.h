// The smallest hive file that readers accept: a base block, one hive bin and a root key.
#pragma once

#include <string>

namespace hw::store::hive {

// The bytes of a new hive whose root key has no subkeys and no values.
std::string EmptyHiveImage();

// Creates path as an empty hive; false with the reason when it cannot (also when it exists).
bool CreateEmptyHive(const std::string& path, std::string& error);

} // namespace hw::store::hive
