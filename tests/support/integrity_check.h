// SQLite's own verdict on a database file: "ok" when it is sound.
#pragma once

#include <string>

namespace hw::test {

std::string IntegrityCheck(const std::string& databasePath);

} // namespace hw::test
