#include "app/shell_switches.h"

#include <algorithm>
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

constexpr std::string_view kJobSwitches[] = {"--help", "--import", "--export", "--delete"};

bool NamesJob(const std::string& argument) {
    return std::find(std::begin(kJobSwitches), std::end(kJobSwitches), argument) != std::end(kJobSwitches) ||
           std::any_of(std::begin(kFileWindowOptions), std::end(kFileWindowOptions),
                       [&](const FileWindowOption& option) { return argument == option.option; });
}

// arguments[0] names the job.
CommandLine ParseJob(const std::vector<std::string>& arguments) {
    const std::string& first = arguments[0];
    if (first == "--import") return ImportSwitch(Split(arguments));
    if (first == "--export") return ExportSwitch(Split(arguments));
    if (first == "--delete") return DeleteSwitch(Split(arguments));
    for (const FileWindowOption& option : kFileWindowOptions)
        if (first == option.option) return FileWindowSwitch(option, arguments);
    CommandLine usage;
    usage.mode = Mode::Usage;
    return usage;
}

} // namespace

std::optional<CommandLine> ParseShellSwitches(const std::vector<std::string>& arguments) {
    // Options may come before the switch that names the job (--yes --import FILE); they count as if they
    // followed it.
    auto job = arguments.begin();
    while (job != arguments.end() && job->starts_with(kOptionPrefix) && !NamesJob(*job))
        ++job;
    if (job == arguments.end() || !NamesJob(*job)) {
        if (std::find(arguments.begin(), job, kYesOption) != job)
            return UsageError(Mode::Usage, "--yes goes with a job: hivewright --import FILE --yes");
        return std::nullopt;
    }
    std::vector<std::string> ordered(job, arguments.end());
    ordered.insert(ordered.begin() + 1, arguments.begin(), job);
    return ParseJob(ordered);
}

} // namespace hw::app
