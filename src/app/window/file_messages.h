// Messages about files that the text table has no entry for.
#pragma once

#include <string>
#include <vector>

namespace hw::window {

std::string CannotWriteFileText(const std::string& fileName);
std::string CannotReadFileText(const std::string& fileName);

} // namespace hw::window
