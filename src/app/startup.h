// What the entry routine does before it reads the command line.
#pragma once

#include <filesystem>

namespace hw::app {

// Changes into the program's folder (a failure is ignored) and reads the platform facts for the run.
// Returns the folder the program was started in, against which relative file names on the command line
// are resolved.
std::filesystem::path PrepareProcess();

// True when the usage text should also be shown in a message box: a display is there and the program was
// not started from a terminal (a desktop launcher, a file manager).
bool UsageWantsMessageBox();

// True when a window can open: a display is there, or Qt was told which platform to draw on.
bool WindowsCanOpen();

} // namespace hw::app
