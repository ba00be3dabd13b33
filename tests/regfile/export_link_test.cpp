// Exports of subtrees holding a link back to a key above it, in a database and in a Wine prefix.
#include "platform/registry_store.h"
#include "platform/user_identity.h"
#include "platform/wine/real_prefix.h"
#include "regfile/reg_export.h"
#include "regfile/utf16.h"
#include "regfile_test_util.h"
#include "support/raw_link.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>

namespace hw::regfile {
namespace {

namespace fs = std::filesystem;

// HKEY_USERS\<user>\Software\Loop\Inner\Back in the database, a link to Software\Loop.
void LinkBackInDatabase(const test::TempRegistry& registry) {
    test::SetRawValue("HKEY_CURRENT_USER\\Software\\Loop\\Inner", "v", REG_DWORD, std::string(4, '\1'));
    platform::FlushRegistry();
    const std::vector<std::string> loop = {"HKEY_USERS", platform::CurrentUserIdentity().sid, "Software",
                                           "Loop"};
    std::vector<std::string> inner = loop;
    inner.push_back("Inner");
    test::AddLinkRow(registry.databasePath(), inner, "Back", loop);
}

// The same in a Wine prefix's system.reg, where a link is a key marked #link naming its target.
void LinkBackInPrefix(const test::TempDir& dir) {
    const fs::path prefix = test::CopyOfTemplate(dir);
    std::string target;
    AppendUtf8AsUtf16Le("\\Registry\\Machine\\Software\\Loop", target);
    std::string hex;
    for (unsigned char byte : target) {
        static const char kDigits[] = "0123456789abcdef";
        hex += (hex.empty() ? "" : ",") + std::string{kDigits[byte >> 4], kDigits[byte & 15]};
    }
    std::ofstream(prefix / "system.reg", std::ios::app)
        << "\n[Software\\\\Loop] 1700000000\n"
        << "\n[Software\\\\Loop\\\\Inner] 1700000000\n\"v\"=dword:01010101\n"
        << "\n[Software\\\\Loop\\\\Inner\\\\Back] 1700000000\n#link\n\"SymbolicLinkValue\"=hex(6):" << hex
        << "\n";
    std::string error;
    auto store = platform::OpenWineStore(prefix.string(), &error);
    ASSERT_TRUE(store) << error;
    platform::UseRegistry(std::move(store));
}

TEST(ExportLinkTest, ALinkToAKeyAboveIsNotFollowedAndNamedAsUnopened) {
    struct Case {
        const char* store;
        const char* root;
        std::function<void(const test::TempRegistry&)> make;
    };
    const Case cases[] = {
        {"database", "HKEY_CURRENT_USER", LinkBackInDatabase},
        {"Wine prefix", "HKEY_LOCAL_MACHINE",
         [](const test::TempRegistry& registry) { LinkBackInPrefix(registry.dir()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.store);
        test::TempRegistry registry;
        if (std::string(c.store) != "database" && test::TemplatePrefix().empty()) continue;
        c.make(registry);
        const std::string loop = std::string(c.root) + "\\Software\\Loop";
        // A walk that runs on is stopped by the progress callback, so the old fault shows as a cancel.
        const ExportProgress bounded = [](std::uint64_t keys) { return keys < 10000; };
        const std::string file = registry.dir().file("loop.reg");
        ASSERT_EQ(ExportKeyPathToFileReported(loop, file, std::string(kVersion5Header), bounded).result,
                  ExportResult::Success);
        RegLines lines;
        std::vector<std::string> leftOut, unopened;
        std::string unreadable;
        ASSERT_TRUE(ExportKeyPath(loop, lines, leftOut, unopened, unreadable));
        std::vector<std::string> sections;
        for (const std::string& line : lines)
            if (line.starts_with("[")) sections.push_back(line);
        EXPECT_EQ(sections, (std::vector<std::string>{"[" + loop + "]", "[" + loop + "\\Inner]"}));
        EXPECT_EQ(unopened, std::vector<std::string>{loop + "\\Inner\\Back"});
        EXPECT_EQ(unreadable, "");
        platform::UseRegistry(nullptr);
    }
}

} // namespace
} // namespace hw::regfile
