#include "app/startup.h"

#include "platform/platform_facts.h"
#include "util/program_dir.h"

#include <cstdlib>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace hw::app {
namespace {

bool EnvironmentHas(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

bool DisplayPresent() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    // Nobody could close a box on the off-screen platform.
    if (platform && std::string_view(platform) == "offscreen") return false;
    return EnvironmentHas("DISPLAY") || EnvironmentHas("WAYLAND_DISPLAY");
}

bool StartedFromTerminal() {
    return isatty(STDIN_FILENO) || isatty(STDOUT_FILENO) || isatty(STDERR_FILENO);
}

} // namespace

std::filesystem::path PrepareProcess() {
    std::error_code error;
    std::filesystem::path startDir = std::filesystem::current_path(error);
    std::filesystem::current_path(util::ProgramDir(), error);
    platform::LoadPlatformFacts();
    return startDir;
}

bool WindowsCanOpen() {
    return EnvironmentHas("QT_QPA_PLATFORM") || EnvironmentHas("DISPLAY") ||
           EnvironmentHas("WAYLAND_DISPLAY");
}

bool UsageWantsMessageBox() {
    return DisplayPresent() && !StartedFromTerminal();
}

} // namespace hw::app
