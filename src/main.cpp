// The entry routine: prepares the process, picks the mode from the command line and runs it.
#include "app/cli_jobs.h"
#include "app/command_line.h"
#include "app/registry_option.h"
#include "app/startup.h"
#include "app/usage_text.h"
#include "app/window/window_modes.h"
#include "platform/qt/qt_message_boxes.h"
#include "util/dialog.h"

#include <QApplication>
#include <exception>
#include <iostream>

namespace {

void ShowUsageBox(int& argc, char** argv) {
    QApplication application(argc, argv);
    hw::platform::InstallQtMessageBoxes();
    hw::util::NoticeBox(hw::app::UsageText());
}

int Run(int& argc, char** argv) {
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
