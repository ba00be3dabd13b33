// The entry routine: prepares the process, picks the mode from the command line and runs it.
#include "app/cli_jobs.h"
#include "app/command_line.h"
#include "app/registry_option.h"
#include "app/startup.h"
#include "app/usage_text.h"
#include "app/window/window_modes.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/registry_store.h"
#include "util/dialog.h"

#include <QApplication>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>

namespace {

void ShowUsageBox(int& argc, char** argv) {
    QApplication application(argc, argv);
    hw::platform::InstallQtMessageBoxes();
    hw::util::NoticeBox(hw::app::UsageText());
}

// The process moves to its own folder; a relative database path means the folder it was started in.
void AnchorRegistryPath() {
    const char* value = std::getenv("HIVEWRIGHT_REGISTRY");
    if (!value || !*value) return;
    std::string_view setting(value);
    const std::string_view wine(hw::platform::kWineRegistryPrefix);
    // Hives and Windows installations come with their own absolute paths (see app/registry_option.h).
    if (hw::platform::NamesOtherStore(setting) && !setting.starts_with(wine)) return;
    const std::string_view scheme = setting.starts_with(wine) ? wine : std::string_view();
    const std::filesystem::path path(setting.substr(scheme.size()));
    std::error_code error;
    const auto here = std::filesystem::current_path(error);
    if (error || path.empty() || path.is_absolute()) return;
    setenv("HIVEWRIGHT_REGISTRY", (std::string(scheme) + (here / path).string()).c_str(), 1);
}

int Run(int& argc, char** argv) {
    AnchorRegistryPath();
    const auto startDir = hw::app::PrepareProcess();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (std::string error = hw::app::TakeRegistryOption(arguments, startDir); !error.empty()) {
        std::cerr << "hivewright: " << error << std::endl;
        return hw::app::kExitUsage;
    }
    hw::app::CommandLine commandLine = hw::app::ParseCommandLine(arguments);
    hw::app::ResolveFileName(commandLine, startDir);
    if (hw::app::IsWindowMode(commandLine.mode)) {
        // Without a display Qt would abort; say what is wrong instead.
        if (!hw::app::WindowsCanOpen()) {
            std::cerr
                << "hivewright: no display found (DISPLAY and WAYLAND_DISPLAY are unset), so the window "
                   "cannot open; the command-line jobs work without one (hivewright --help)"
                << std::endl;
            return hw::app::kExitFailure;
        }
        return hw::window::RunWindowMode(commandLine, argc, argv);
    }
    const int status = hw::app::RunCommandLineMode(commandLine, std::cout, std::cerr);
    if (commandLine.mode == hw::app::Mode::Usage && status == hw::app::kExitSuccess &&
        hw::app::UsageWantsMessageBox())
        ShowUsageBox(argc, argv);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& failure) {
        std::cerr << "hivewright: " << failure.what() << std::endl;
    } catch (...) {
        std::cerr << "hivewright: unexpected failure" << std::endl;
    }
    return hw::app::kExitFailure;
}
