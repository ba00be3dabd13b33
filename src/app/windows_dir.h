// The program's Windows directory: where the favourites file and the hex editor's picture file go.
#pragma once

#include "platform/platform_facts.h"

#include <string>

namespace hw::app {

// The "SystemRoot" value without one trailing backslash when it names an existing absolute directory;
// otherwise (empty, unreadable, or a Windows path such as C:\windows from an imported registry) the
// program's own configuration folder, so that no file is ever read or written relative to the current one.
std::string ReadWindowsDir(const platform::PlatformFacts& facts);

} // namespace hw::app
