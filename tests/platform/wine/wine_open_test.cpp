// Opening a Wine prefix whose files are damaged or are no files at all, and exports aimed at those files.
#include "app/program_process.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "real_prefix.h"
#include "regfile/reg_export.h"
#include "support/temp_registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <future>

using namespace hw;
namespace fs = std::filesystem;

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::size_t LineOf(const std::string& text, std::size_t offset) {
    return 1 +
           static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n'));
}

void Write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

class WineOpenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::TemplatePrefix().empty()) GTEST_SKIP() << "Wine is not installed";
        prefix = test::CopyOfTemplate(dir);
    }
    void TearDown() override { platform::UseRegistry(nullptr); }

    test::TempDir dir;
    fs::path prefix;
};

TEST_F(WineOpenTest, DamagedFilesOpenReadOnlyNamingFileAndLine) {
    const std::string user = test::ReadFile(prefix / "user.reg");
    const std::string system = test::ReadFile(prefix / "system.reg");
    const std::string userdef = test::ReadFile(prefix / "userdef.reg");
    const std::size_t cut = user.find("\"Locale\"") + 4;
    std::size_t half = system.size() / 2;
    while (system[half - 1] == '\n')
        ++half;
    const std::size_t nul = user.find("\"Locale\""), high = userdef.find("\"") + 1;
    const std::size_t colors = user.find("[Control Panel\\\\Colors]");
    const std::string again = user + "\n" + user.substr(colors, user.find("\n\n", colors) + 1 - colors);
    struct Case {
        const char* what;
        const char* file;
        std::string text;
        std::size_t line;
    };
    const Case cases[] = {
        {"cut in mid-line", "user.reg", user.substr(0, cut), LineOf(user, cut)},
        {"half a file", "system.reg", system.substr(0, half), LineOf(system, half)},
        {"a NUL byte", "user.reg", user.substr(0, nul) + '\0' + user.substr(nul), LineOf(user, nul)},
        {"a 0xFF byte", "userdef.reg", userdef.substr(0, high) + '\xff' + userdef.substr(high),
         LineOf(userdef, high)},
        {"a key twice", "user.reg", again, LineOf(again, user.size() + 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir own;
        const fs::path damaged = test::CopyOfTemplate(own);
        Write(damaged / c.file, c.text);
        std::string error;
        auto store = platform::OpenWineStore(damaged.string(), &error);
        ASSERT_TRUE(store) << error;
        EXPECT_TRUE(store->ReadOnly());
        EXPECT_TRUE(
            Contains(store->Notice(), (damaged / c.file).string() + ", line " + std::to_string(c.line) + ":"))
            << store->Notice();
        HKEY key = 0;
        EXPECT_EQ(store->CreateKey(HKEY_CURRENT_USER, "Software\\Refused", 0, &key, nullptr),
                  ERROR_ACCESS_DENIED);
        store->Flush();
        store.reset();
        EXPECT_TRUE(test::ReadFile(damaged / c.file) == c.text);
    }
}

TEST_F(WineOpenTest, OnlyRegularFilesAreRead) {
    struct Case {
        const char* file;
        bool fifo; // else a link to /dev/zero
        const char* said;
    };
    const Case cases[] = {{"user.reg", true, "user.reg cannot be read: is a named pipe"},
                          {"userdef.reg", false, "userdef.reg cannot be read: is a device"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        test::TempDir own;
        const fs::path odd = test::CopyOfTemplate(own), file = odd / c.file;
        fs::remove(file);
        if (c.fifo)
            ASSERT_EQ(mkfifo(file.c_str(), 0644), 0);
        else
            fs::create_symlink("/dev/zero", file);
        auto opening = std::async(std::launch::async, [&] {
            std::string error;
            bool opened = platform::OpenWineStore(odd.string(), &error) != nullptr;
            return std::pair{opened, error};
        });
        if (opening.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "opening waits on " << c.file;
            ::close(::open(file.c_str(), O_WRONLY | O_NONBLOCK)); // lets the waiting reader go
        }
        const auto [opened, error] = opening.get();
        EXPECT_FALSE(opened);
        EXPECT_TRUE(Contains(error, c.said)) << error;
    }
}

TEST_F(WineOpenTest, ExportsNeverOverwriteThePrefixsOwnFiles) {
    std::string error;
    auto store = platform::OpenWineStore(prefix.string(), &error);
    ASSERT_TRUE(store) << error;
    platform::UseRegistry(std::move(store));
    fs::create_hard_link(prefix / "system.reg", dir.path() / "hard.reg");
    fs::create_symlink(prefix / "user.reg", dir.path() / "soft.reg");
    std::map<std::string, std::string> before;
    for (const char* name : {"system.reg", "user.reg", "userdef.reg"})
        before[name] = test::ReadFile(prefix / name);
    const fs::path targets[] = {prefix / "user.reg",       prefix / "system.reg",   prefix / "userdef.reg",
                                prefix / "." / "user.reg", dir.path() / "hard.reg", dir.path() / "soft.reg"};
    for (const fs::path& target : targets) {
        EXPECT_TRUE(platform::IsRegistryStoreFile(target.string())) << target;
        EXPECT_EQ(regfile::ExportKeyPathToFileReported("HKEY_CURRENT_USER\\Software\\Wine", target.string(),
                                                       regfile::RegFileHeader())
                      .result,
                  regfile::ExportResult::WriteFailed)
            << target;
    }
    EXPECT_FALSE(platform::IsRegistryStoreFile(dir.file("other.reg")));
    platform::UseRegistry(nullptr);
    if (!test::ProgramPath().empty()) {
        const test::ProgramOutcome outcome =
            test::RunProgram({},
                             {"--wine-prefix", prefix.string(), "--export", "HKCU\\Software\\Wine",
                              (prefix / "user.reg").string()},
                             dir.file("errors"));
        EXPECT_NE(outcome.status, 0);
    }
    for (const auto& [name, text] : before)
        EXPECT_TRUE(test::ReadFile(prefix / name) == text) << name;
}

} // namespace
