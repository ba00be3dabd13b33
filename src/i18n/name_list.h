// Notices that name what an operation had to leave: a heading, then the names.
#pragma once

#include <string>
#include <vector>

namespace hw::i18n {

// The heading, then one name per line, at most ten, then "... and N more" (text 308).
std::string NameListText(const std::string& heading, const std::vector<std::string>& names);

} // namespace hw::i18n
