// The modes that run the user interface: normal, and the single-window modes.
#pragma once

#include "app/command_line.h"

namespace hw::window {

// Creates the windows of the mode, runs the event loop until the application's main window closes and
// returns the exit status. argc/argv go to the Qt application.
int RunWindowMode(const hw::app::CommandLine& commandLine, int& argc, char** argv);

} // namespace hw::window
