// The /reg and /unreg modes: the shell association entries in the registry, and for the current user the
// desktop files that let a file manager open *.opal and *.reg files with the program.
#pragma once

#include <iosfwd>

namespace hw::app {

// 0; 1 when the desktop files could not all be written (the registry entries are written regardless).
int RunRegisterJob(std::ostream& errors);
int RunUnregisterJob();

} // namespace hw::app
