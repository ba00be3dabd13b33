// The shell-friendly forms of the command-line jobs, which need no quoting of "<" and ">":
//   --import FILE [--yes]   --export KEY FILE   --delete KEY [VALUE]   --help
//   --opal FILE   --edit-reg FILE   --hex FILE
#pragma once

#include "app/command_line.h"

#include <optional>
#include <string>
#include <vector>

namespace hw::app {

// The command line these arguments stand for when the first one is a shell-style switch (a malformed one
// comes back with usageError set); nothing when the first argument is not one.
std::optional<CommandLine> ParseShellSwitches(const std::vector<std::string>& arguments);

} // namespace hw::app
