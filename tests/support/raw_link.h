// Links written into a registry database behind the store's back, as a damaged or foreign database has them.
#pragma once

#include <string>
#include <vector>

namespace hw::test {

// Adds the key name below parent as a link to target; both are given as names from a real root down
// ({"HKEY_USERS", sid, "Software"}). The store must have committed its writes.
void AddLinkRow(const std::string& database, const std::vector<std::string>& parent, const std::string& name,
                const std::vector<std::string>& target);

} // namespace hw::test
