// Paste Key's copy of a subtree: everything arrives exactly, however the source is read in parts, and a link
// back into the source ends the copy there.
#include "app/key_paste.h"
#include "platform/registry_store.h"
#include "platform/user_identity.h"
#include "platform/winreg.h"
#include "regfile/reg_export.h"
#include "support/raw_link.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hw::app {
namespace {

const std::string kCurrentUser = "HKEY_CURRENT_USER\\";
const std::string kUser = kCurrentUser + "Software\\";

void Set(const std::string& path, const std::string& name, DWORD type, const std::string& data) {
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, path.substr(kCurrentUser.size()).c_str(), &key),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// The exported lines of a subtree with its own path cut from the section names.
std::vector<std::string> Exported(const std::string& path) {
    regfile::RegLines lines;
    EXPECT_TRUE(regfile::ExportKeyPath(path, lines));
    std::vector<std::string> shown;
    for (std::string line : lines) {
        if (line.starts_with("[" + path)) line = "[" + line.substr(path.size() + 1);
        shown.push_back(line);
    }
    return shown;
}

TEST(KeyPasteTest, CopiesTreesReadInManyPartsExactly) {
    struct Case {
        const char* name;
        int depth;           // a chain of this many levels
        int width;           // leaves beside each key of the chain
        std::size_t bigData; // the size of one value at the bottom
    };
    const Case cases[] = {{"small", 3, 1, 10}, {"many keys", 20, 40, 10}, {"big data", 4, 1, 3 << 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempRegistry registry;
        std::string path = kUser + "Source";
        for (int level = 0; level < c.depth; ++level) {
            Set(path, "n", REG_DWORD, std::string("\x01\x02\x03\x04", 4));
            for (int leaf = 0; leaf < c.width; ++leaf)
                Set(path + "\\Leaf" + std::to_string(leaf), "", REG_SZ, std::string("leaf\0", 5));
            path += "\\K";
        }
        Set(path, "big", REG_BINARY, std::string(c.bigData, '\xab'));
        Set(kUser + "Target", "kept", REG_SZ, std::string("x\0", 2));
        EXPECT_EQ(CopyKeyForPaste(kUser + "Source", kUser + "Target\\Copy"), KeyCopyOutcome::Complete);
        EXPECT_EQ(Exported(kUser + "Target\\Copy"), Exported(kUser + "Source"));
        EXPECT_EQ(CopyKeyForPaste(kUser + "Source", kUser + "Source\\Inside"), KeyCopyOutcome::Failed);
    }
}

TEST(KeyPasteTest, ALinkBackIntoTheSourceIsNotCopiedAndMakesTheCopyPartial) {
    test::TempRegistry registry;
    Set(kUser + "Loop\\Inner", "v", REG_SZ, std::string("1\0", 2));
    platform::FlushRegistry();
    const std::vector<std::string> loop = {"HKEY_USERS", platform::CurrentUserIdentity().sid, "Software",
                                           "Loop"};
    test::AddLinkRow(registry.databasePath(), {loop[0], loop[1], loop[2], loop[3], "Inner"}, "Back", loop);
    EXPECT_EQ(CopyKeyForPaste(kUser + "Loop", kUser + "Copy"), KeyCopyOutcome::Partial);
    EXPECT_EQ(Exported(kUser + "Copy"), (std::vector<std::string>{"", "[]", "", "[\\Inner]", "\"v\"=\"1\""}));
}

} // namespace
} // namespace hw::app
