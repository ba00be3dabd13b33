// A window left open beside command-line jobs loses nothing, whatever its own process opens and closes:
// closing another descriptor of the database files (a file dialog sniffing them, an editor opening one by
// name) must not drop the store's locks, or the next job takes itself for the last user of the database.
#include "core/value_text.h"
#include "platform/registry_store.h"
#include "support/qt/window_fixture.h"
#include "support/reg_file_text.h"
#include "util/file_io.h"
#include "util/program_dir.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace hw::test {
namespace {

std::string Program() {
    const char* binaryDir = std::getenv("HIVEWRIGHT_TEST_BINARY_DIR");
    return binaryDir && *binaryDir ? std::string(binaryDir) + "/hivewright"
                                   : util::ProgramDir() + "/../hivewright";
}

class JobsBesideWindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists(Program())) GTEST_SKIP() << Program() << " is not built";
        CreateWindow();
    }

    // Runs a command-line job of the program on the window's database; its exit status.
    int RunJob(const std::vector<std::string>& arguments) {
        const std::string program = Program(), database = registry_.databasePath();
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            setenv("HIVEWRIGHT_REGISTRY", database.c_str(), 1);
            unsetenv("DISPLAY");
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDOUT_FILENO);
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string ExportedByAJob(const std::string& name) {
        const std::string file = registry_.dir().file(name);
        EXPECT_EQ(RunJob({"--export", "HKEY_CURRENT_USER\\Software", file}), 0);
        return test::ReadRegFileText(file);
    }
};

TEST_F(JobsBesideWindowTest, FilesOpenedAndClosedByTheWindowLeaveEveryChangeSeenAndKept) {
    const std::string database = registry_.databasePath();
    WriteText("HKEY_CURRENT_USER\\Software\\Window", "Before", "1");
    platform::FlushRegistry();
    // What listing the database's folder in a file dialog does to each file.
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const int fd = open((database + suffix).c_str(), O_RDONLY);
        ASSERT_GE(fd, 0) << suffix;
        char head[64];
        EXPECT_GE(read(fd, head, sizeof head), 0);
        close(fd);
    }
    EXPECT_NE(ExportedByAJob("first.reg").find("\"Before\"=\"1\""), std::string::npos);

    const std::string imported = registry_.dir().file("job.reg");
    util::WriteFileBytes(imported,
                         "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Job]\r\n\"Key\"=\"kept\"\r\n");
    ASSERT_EQ(RunJob({"--import", imported, "--yes"}), 0);

    WriteText("HKEY_CURRENT_USER\\Software\\Window", "After", "2");
    platform::FlushRegistry();
    EXPECT_NE(ExportedByAJob("second.reg").find("\"After\"=\"2\""), std::string::npos);

    // The window closes, its store last: the job's key must survive it.
    frmMain_.reset();
    platform::UseRegistry(nullptr);
    platform::UseRegistry(platform::OpenSqliteStore(database));
    EXPECT_EQ(core::ReadValueTextOfPath("HKEY_CURRENT_USER\\Software\\Job", "Key"), "kept");
    EXPECT_EQ(core::ReadValueTextOfPath("HKEY_CURRENT_USER\\Software\\Window", "After"), "2");
}

} // namespace
} // namespace hw::test
