// The /bin window mode as the real program, off-screen, until the time limit ends it (status 124).
#include "app/program_process.h"
#include "support/temp_registry.h"
#include "util/file_io.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using namespace hw;

TEST(HexEditorMode, OpensAFileAMissingFileOrAFifoWithoutEndingOrCrashing) {
    if (test::ProgramPath().empty()) GTEST_SKIP() << "hivewright is not built";
    test::TempDir dir;
    util::WriteFileBytes(dir.file("data.bin"), std::string("\x00\x01GIF", 5));
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
    const std::vector<std::string> env = {"HIVEWRIGHT_REGISTRY=" + dir.file("registry.db"),
                                          "XDG_CONFIG_HOME=" + dir.file("config"),
                                          "QT_QPA_PLATFORM=offscreen"};
    for (const char* name : {"data.bin", "missing.bin", "fifo"}) {
        const test::ProgramOutcome outcome = test::RunProgram(env, {"/bin", "/file:<" + dir.file(name) + ">"},
                                                              dir.file("errors"), "timeout 3");
        EXPECT_EQ(outcome.status, 124) << name << ": " << outcome.errors;
    }
}

} // namespace
