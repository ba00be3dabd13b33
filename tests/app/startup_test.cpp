#include "app/startup.h"

#include "util/program_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace hw::app {
namespace {

TEST(PrepareProcess, ChangesIntoTheProgramFolderAndReturnsTheStartFolder) {
    const std::filesystem::path startDir = std::filesystem::current_path();
    const std::filesystem::path returned = PrepareProcess();
    const std::filesystem::path now = std::filesystem::current_path();
    std::filesystem::current_path(startDir);
    EXPECT_EQ(returned, startDir);
    EXPECT_TRUE(std::filesystem::equivalent(now, util::ProgramDir()));
}

// Sets or clears one environment variable for its lifetime.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        if (old) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(UsageWantsMessageBox, NotWithoutAUsableDisplay) {
    {
        ScopedEnv display("DISPLAY", ":0");
        ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");
        EXPECT_FALSE(UsageWantsMessageBox());
    }
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    ScopedEnv platform("QT_QPA_PLATFORM", nullptr);
    EXPECT_FALSE(UsageWantsMessageBox());
}

} // namespace
} // namespace hw::app
