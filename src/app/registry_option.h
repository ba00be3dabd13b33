// The option that picks the registry to work on, read before the command line proper.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace hw::app {

// Takes a leading "--wine-prefix PATH" (or "--wine-prefix=PATH") off the arguments and makes that prefix the
// process's registry, PATH taken relative to startDir. Returns an error text when the option lacks its PATH.
std::string TakeRegistryOption(std::vector<std::string>& arguments, const std::filesystem::path& startDir);

} // namespace hw::app
