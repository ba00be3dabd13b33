// The text shown for /? and /help: every switch with its explanation.
#pragma once

#include <string>

namespace hw::app {

// Lines end in "\n" (the console and the message box both take that).
std::string UsageText();

} // namespace hw::app
