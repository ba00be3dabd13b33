#include "app/shell_switches.h"

#include <string_view>

namespace hw::app {
namespace {

constexpr std::string_view kOptionPrefix = "--";
constexpr std::string_view kYesOption = "--yes";

struct SplitArguments {
    std::vector<std::string> operands;
    std::vector<std::string> options;
};

SplitArguments Split(const std::vector<std::string>& arguments) {
    SplitArguments result;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        auto& target = arguments[i].starts_with(kOptionPrefix) ? result.options : result.operands;
        target.push_back(arguments[i]);
    }
    return result;
}

CommandLine UsageError(Mode mode, std::string message) {
    CommandLine result;
    result.mode = mode;
    result.usageError = std::move(message);
    return result;
}

CommandLine ImportSwitch(const SplitArguments& split) {
    bool yes = false;
    for (const std::string& option : split.options) {
        if (option != kYesOption) return UsageError(Mode::Import, "unknown option " + option);
        yes = true;
    }
    if (split.operands.size() != 1)
        return UsageError(Mode::Import, "usage: hivewright --import FILE [--yes]");
    CommandLine result;
    result.mode = Mode::Import;
    result.fileName = split.operands[0];
    result.ask = !yes;
    return result;
}

CommandLine ExportSwitch(const SplitArguments& split) {
    if (!split.options.empty()) return UsageError(Mode::Export, "unknown option " + split.options[0]);
    if (split.operands.size() != 2) return UsageError(Mode::Export, "usage: hivewright --export KEY FILE");
    CommandLine result;
    result.mode = Mode::Export;
    result.keyName = split.operands[0];
    result.fileName = split.operands[1];
    return result;
}

CommandLine DeleteSwitch(const SplitArguments& split) {
    if (!split.options.empty()) return UsageError(Mode::Delete, "unknown option " + split.options[0]);
    if (split.operands.empty() || split.operands.size() > 2)
        return UsageError(Mode::Delete, "usage: hivewright --delete KEY [VALUE]");
    // An empty VALUE (an unset shell variable, say) must not turn into deleting the whole key.
    if (split.operands.size() == 2 && split.operands[1].empty())
        return UsageError(Mode::Delete, "the value name is empty; leave it out to delete the whole key");
    CommandLine result;
    result.mode = Mode::Delete;
    result.keyName = split.operands[0];
    if (split.operands.size() == 2) result.valueName = split.operands[1];
    return result;
}

struct FileWindowOption {
    std::string_view option;
    Mode mode;
};

// Each opens one file in its window; the file is the next argument, taken verbatim, so a name holding
// ">" or a switch word (a crafted folder name) stays a name.
constexpr FileWindowOption kFileWindowOptions[] = {
    {"--opal", Mode::OpalWindow},
    {"--edit-reg", Mode::RegFileWindow},
    {"--hex", Mode::HexEditorWindow},
};

CommandLine FileWindowSwitch(const FileWindowOption& option, const std::vector<std::string>& arguments) {
    // A usage error must not open the window, so it is reported as the usage mode's.
    if (arguments.size() != 2)
        return UsageError(Mode::Usage, "usage: hivewright " + std::string(option.option) + " FILE");
    CommandLine result;
    result.mode = option.mode;
    result.fileName = arguments[1];
    return result;
}

} // namespace

std::optional<CommandLine> ParseShellSwitches(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return std::nullopt;
    const std::string& first = arguments[0];
    if (first == "--help") {
        CommandLine result;
        result.mode = Mode::Usage;
        return result;
    }
    if (first == "--import") return ImportSwitch(Split(arguments));
    if (first == "--export") return ExportSwitch(Split(arguments));
    if (first == "--delete") return DeleteSwitch(Split(arguments));
    for (const FileWindowOption& option : kFileWindowOptions)
        if (first == option.option) return FileWindowSwitch(option, arguments);
    return std::nullopt;
}

} // namespace hw::app
