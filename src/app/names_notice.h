// The text of a notice naming the values an operation had to leave.
#pragma once

#include <string>
#include <vector>

namespace hw::app {

// The heading, then one value name per line (the default value by its caption), at most ten, then
// "... and N more".
std::string NamesNotice(const std::string& heading, const std::vector<std::string>& names);

} // namespace hw::app
