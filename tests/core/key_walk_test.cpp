// Tree walks observed from the store: the order of deletions, and keys that cannot be opened.
#include "core/key_ops.h"
#include "core/value_text.h"
#include "observed_store.h"

#include <gtest/gtest.h>

namespace hw::core {
namespace {

class KeyWalks : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* path : {"HKCU\\A\\B\\D", "HKCU\\A\\C", "HKCU\\A\\B", "HKCU\\A"}) {
            ASSERT_TRUE(WriteValueTextOfPath(path, "v", path, REG_SZ));
        }
    }

    test::ObservedRegistry registry;
};

TEST_F(KeyWalks, DeletionGoesFromTheLastSubkeyDownAndLeavesTheKeyLast) {
    EXPECT_TRUE(DeleteKeyPath("HKCU\\A"));
    EXPECT_EQ(registry.store().deletedKeys, (std::vector<std::string>{"C", "D", "B", "A"}));
}

TEST_F(KeyWalks, AnUndeletableSubkeyFailsTheDeleteAndTheRestStaysDeleted) {
    registry.store().refusedName = "B";
    EXPECT_FALSE(DeleteKeyPath("HKCU\\A"));
    registry.store().refusedName.clear();
    EXPECT_FALSE(KeyPathExists("HKCU\\A\\C"));
    EXPECT_TRUE(KeyPathExists("HKCU\\A\\B\\D"));
}

TEST_F(KeyWalks, MoveWithAnUnreadableSubkeyKeepsTheSource) {
    registry.store().refusedName = "B";
    EXPECT_FALSE(RenameKeyPath("HKCU\\A", "HKCU\\Moved"));
    registry.store().refusedName.clear();
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\A\\B\\D", "v"), "HKCU\\A\\B\\D");
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\Moved\\C", "v"), "HKCU\\A\\C");
    EXPECT_FALSE(KeyPathExists("HKCU\\Moved\\B"));
    EXPECT_TRUE(registry.store().deletedKeys.empty());
}

TEST_F(KeyWalks, CopySkipsAnUnreadableSubkeyAndStillCountsAsDone) {
    registry.store().refusedName = "B";
    EXPECT_TRUE(CopyKeyPath("HKCU\\A", "HKCU\\Copy", false));
    registry.store().refusedName.clear();
    EXPECT_TRUE(KeyPathExists("HKCU\\Copy\\C"));
    EXPECT_FALSE(KeyPathExists("HKCU\\Copy\\B"));
}

TEST_F(KeyWalks, CopyValuesAndSubKeysReportWhetherAnythingWasSkipped) {
    HKEY source = 0;
    HKEY destination = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "A", 0, KEY_READ, &source), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Copy", &destination), ERROR_SUCCESS);
    EXPECT_TRUE(CopyValues(source, destination));
    registry.store().refusedName = "B";
    EXPECT_FALSE(CopySubKeys(source, destination));
    registry.store().refusedName.clear();
    EXPECT_TRUE(CopySubKeys(source, destination));
    RegCloseKey(source);
    RegCloseKey(destination);
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\Copy\\B\\D", "v"), "HKCU\\A\\B\\D");
}

} // namespace
} // namespace hw::core
