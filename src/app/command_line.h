// The command line: which of the ten modes runs, and the names it extracted.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace hw::app {

enum class Mode {
    Import,
    Export,
    OpalWindow,
    RegFileWindow,
    HexEditorWindow,
    Usage,
    Delete,
    RegisterAssociations,
    UnregisterAssociations,
    Normal,
};

struct CommandLine {
    Mode mode = Mode::Normal;
    std::string fileName;
    std::string keyName;
    std::string valueName;
    bool ask = true;
    // Set when the shell-style switches (--import ...) are malformed; nothing may run then.
    std::string usageError;
};

// Picks the mode from the arguments (without the program's own path). The shell-style switches
// --import, --export, --delete and --help are recognised as the first argument; anything else is read as
// the switch text of ParseCommandLineText.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The switch text (the arguments joined by single blanks): keywords and markers match regardless of case
// and only outside marker values; the names keep the case they were typed in.
CommandLine ParseCommandLineText(const std::string& text);

// True for the modes that run the user interface.
bool IsWindowMode(Mode mode);

// Makes a relative file name absolute against the folder the program was started in, since the program
// changes into its own folder before it works.
void ResolveFileName(CommandLine& commandLine, const std::filesystem::path& startDir);

} // namespace hw::app
