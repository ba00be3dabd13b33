// The key content editor as the main window opens it, and as the only window of the /.reg mode.
#include "content/window/frm_key_content.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"
#include "util/program_dir.h"

#include <QAction>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace hw::test {
namespace {

class KeyContentCommandsTest : public MainWindowTest {};

TEST_F(KeyContentCommandsTest, KeyContentShowsTheSelectedKeyAndTheToolShowsAnEmptyEditor) {
    WriteText("HKEY_CURRENT_USER\\Shown", "Name", "Value");
    CreateWindow();
    ASSERT_TRUE(Browser().GoToPath("HKEY_CURRENT_USER\\Shown"));
    UpdateCommands();
    ASSERT_TRUE(Child<QAction>(*frmMain_, "acKeyContent")->isEnabled());
    EXPECT_EQ(Child<QAction>(*frmMain_, "acKeyContent")->shortcut(), QKeySequence("Ctrl+K"));

    std::vector<std::string> seen;
    auto readAndClose = [&] {
        QTimer::singleShot(0, frmKeyContent_.get(), [&] {
            seen.push_back(frmKeyContent_->Text().toStdString());
            frmKeyContent_->close();
        });
    };
    readAndClose();
    Child<QAction>(*frmMain_, "acKeyContent")->trigger();
    ASSERT_TRUE(Child<QAction>(*frmMain_, "acRegKeyContentEditor")->isEnabled());
    readAndClose();
    Child<QAction>(*frmMain_, "acRegKeyContentEditor")->trigger();
    EXPECT_EQ(seen, (std::vector<std::string>{"[HKEY_CURRENT_USER\\Shown]\n\"Name\"=\"Value\"", ""}));
    EXPECT_FALSE(frmKeyContent_->isVisible());
}

// The program in the /.reg mode on a virtual display: the editor is its one visible window.
class RegFileModeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* binaryDir = std::getenv("HIVEWRIGHT_TEST_BINARY_DIR");
        program_ = binaryDir && *binaryDir ? std::string(binaryDir) + "/hivewright"
                                           : util::ProgramDir() + "/../hivewright";
        if (!std::filesystem::exists(program_)) GTEST_SKIP() << program_ << " is not built";
        if (std::system("command -v Xvfb >/dev/null && command -v xwininfo >/dev/null") != 0)
            GTEST_SKIP() << "Xvfb and xwininfo are needed";
    }
    void TearDown() override {
        for (pid_t pid : {program, server})
            if (pid > 0) {
                kill(pid, SIGTERM);
                waitpid(pid, nullptr, 0);
            }
    }

    // Mapped top-level windows by name, as the X server lists them.
    std::string MappedWindows(const std::string& display) {
        std::string listing;
        const std::string command = "DISPLAY=" + display +
                                    " xwininfo -root -children 2>/dev/null | grep '\"' | "
                                    "while read id rest; do DISPLAY=" +
                                    display +
                                    " xwininfo -id $id | grep -q IsViewable && echo \"$rest\"; done";
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[512];
            while (fgets(buffer, sizeof buffer, pipe))
                listing += buffer;
            pclose(pipe);
        }
        return listing;
    }

    TempDir dir_;
    std::string program_;
    pid_t server = -1;
    pid_t program = -1;
};

pid_t Spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    for (const std::string& variable : environment)
        putenv(const_cast<char*>(variable.c_str()));
    unsetenv("QT_QPA_PLATFORM");
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    freopen("/dev/null", "w", stderr);
    execvp(argv[0], argv.data());
    _exit(127);
}

TEST_F(RegFileModeTest, OpensTheFileInTheEditorAsTheOnlyWindow) {
    const std::string display = ":" + std::to_string(90 + getpid() % 500);
    server = Spawn({"Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, {});
    const std::string file = dir_.file("a.reg");
    std::ofstream(file, std::ios::binary) << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Opened]\r\n";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    program = Spawn({program_, "/.reg", "/file:<" + file + ">"},
                    {"DISPLAY=" + display, "HIVEWRIGHT_REGISTRY=" + dir_.file("registry.db"),
                     "XDG_CONFIG_HOME=" + dir_.file("config")});
    std::string windows;
    for (int attempt = 0; attempt < 100 && windows.find("a.reg - Key Content Editor") == std::string::npos;
         ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        windows = MappedWindows(display);
    }
    // The title names the file.
    EXPECT_NE(windows.find("\"a.reg - Key Content Editor\""), std::string::npos) << windows;
    EXPECT_EQ(windows.find("Hivewright\""), std::string::npos) << windows;
    // Still running: the mode is available and waits for its window to close.
    EXPECT_EQ(waitpid(program, nullptr, WNOHANG), 0);
}

} // namespace
} // namespace hw::test
