// The shell association entries under HKEY_CLASSES_ROOT: OPAL files open in the program, and registration
// files get an extra edit verb. None of these report anything: a write or delete that fails is skipped.
// They are written only into the program's own store, never into a Wine prefix.
#pragma once

#include <string>

namespace hw::markup {

// The program file as it stands at the start of an association command: quoted when it holds blanks, so
// the command still works from a folder such as "My Programs".
std::string CommandProgramPath(const std::string& programFile);

void RegisterOPALFiles(const std::string& programFile);
void UnregisterOPALFiles();
// Skipped when HKEY_CLASSES_ROOT\.reg names no class: the keys would land beside every class.
void RegisterRegFileVerb(const std::string& programFile);
void UnregisterRegFileVerb();

// The check of a normal start: registers both groups when HKEY_CLASSES_ROOT\.opal has no default value.
void CheckAssociations(const std::string& programFile);

} // namespace hw::markup
