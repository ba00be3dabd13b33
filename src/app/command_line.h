// The command line: which of the ten modes runs, and the names it extracted.
#pragma once

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
};

// Picks the mode from the arguments (without the program's own path).
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace hw::app
