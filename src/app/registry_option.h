// The options that pick the registry to work on, read before the command line proper.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace hw::app {

// Takes the leading "--wine-prefix PATH", "--hive FILE[=KEY]" (repeatable), "--windows-root PATH",
// "--windows-user NAME" and "--read-only" (each also as "--option=VALUE") off the arguments and makes that
// registry the process's, paths taken relative to startDir. Returns an error text when an option lacks its
// value or more than one registry is chosen.
std::string TakeRegistryOption(std::vector<std::string>& arguments, const std::filesystem::path& startDir);

} // namespace hw::app
