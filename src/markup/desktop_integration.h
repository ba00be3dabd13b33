// The per-user desktop files that make a file manager offer the program for *.opal and *.reg files:
// desktop entries in DATA/applications and a shared-mime-info package in DATA/mime/packages, where DATA
// is $XDG_DATA_HOME (default ~/.local/share). Every file written carries a marker line; removal touches
// only files that carry it.
#pragma once

#include <string>

namespace hw::markup {

// $XDG_DATA_HOME, else $HOME/.local/share; empty when neither is known.
std::string XdgDataHome();

// A file argument of a desktop entry's Exec key, quoted and escaped where needed.
std::string DesktopExecArgument(const std::string& argument);

// Writes the desktop entries and the MIME package, then refreshes the desktop and MIME databases when the
// tools are installed. False when a file could not be written (or the program path cannot be put in an
// Exec key); what was written stays.
bool InstallDesktopIntegration(const std::string& programFile, const std::string& iconFile,
                               const std::string& dataHome);
// Removes the files InstallDesktopIntegration wrote and refreshes the databases.
void RemoveDesktopIntegration(const std::string& dataHome);

} // namespace hw::markup
