// Tree walks observed from the store: the order of deletions, and keys that cannot be opened.
#include "core/key_ops.h"
#include "core/quiet_key_ops.h"
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

TEST_F(KeyWalks, SubtreeCopiesReportWhetherAnythingWasSkipped) {
    HKEY destination = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Copy", &destination), ERROR_SUCCESS);
    for (const char* refused : {"B", ""}) {
        registry.store().refusedName = refused;
        std::unique_ptr<platform::SubtreeStream> source;
        ASSERT_EQ(platform::CurrentRegistry().OpenSubtree(HKEY_CURRENT_USER, "A", source), ERROR_SUCCESS);
        EXPECT_EQ(CopySubtree(*source, destination), *refused == 0) << refused;
    }
    RegCloseKey(destination);
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\Copy\\B\\D", "v"), "HKCU\\A\\B\\D");
}

} // namespace
} // namespace hw::core
