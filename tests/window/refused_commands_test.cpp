// The tree and the list show what the store did: commands on keys the store refuses, and on keys and
// values changed behind the window's back, leave exactly the nodes and rows that exist.
#include "core/key_ops.h"
#include "core/value_text.h"
#include "support/qt/child.h"
#include "support/qt/when_modal.h"
#include "support/qt/window_fixture.h"

#include <QPersistentModelIndex>
#include <QPushButton>

#include <functional>

namespace hw::test {
namespace {

constexpr const char* kReadOnly = "HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION";
constexpr const char* kReadOnlyChild = "HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System";
constexpr const char* kIdentifier = "AT/AT COMPATIBLE";

class RefusedCommandsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        WriteText("HKEY_CURRENT_USER\\Behind\\Gone", "Lost", "x");
        WriteText("HKEY_CURRENT_USER\\Behind", "Lost", "x");
        CreateWindow();
    }

    // Selects the key with its subkeys read, as the user sees i
    QPersistentModelIndex Select(const std::string& path) {
        EXPECT_TRUE(Browser().GoToPath(path)) << path;
        const QModelIndex node = Browser().SelectedNode();
        Browser().LoadSubKeys(node);
        return node;
    }
    // The row of the value, selected; -1 when the list has none.
    int SelectValue(const std::string& name) {
        for (int row = 0; row < Browser().ValueRowCount(); ++row)
            if (Browser().ValueRecord(row).valueName == name) {
                SelectRows({row});
                return row;
            }
        return -1;
    }
};

struct Refused {
    const char* command;
    const char* key;
    std::function<void()> run;
    const char* message; // how the box the user sees begins
};

TEST_F(RefusedCommandsTest, ReadOnlyKeysRefuseEveryChangeAndTreeAndListStayAsTheStoreIs) {
    const Refused commands[] = {
        {"Delete Key", kReadOnlyChild,
         [this] {
             dialogs_.QueueAnswer(true);
             Run("acKeyDelete");
         },
         "Delete key failed!"},
        {"New Key", kReadOnly, [this] { Run("acKeyNew"); }, "Create new key failed!"},
        {"New Value", kReadOnlyChild, [this] { Run("acValueNewStringValue"); }, "Create value failed!"},
        {"Delete Value", kReadOnlyChild,
         [this] {
             ASSERT_GE(SelectValue("Identifier"), 0);
             dialogs_.QueueAnswer(true);
             Run("acValueDelete");
         },
         "These values could not be deleted:"},
        {"Rename Value", kReadOnlyChild,
         [this] { frmMain_->RenameValueRow(SelectValue("Identifier"), "Renamed"); },
         "Can not rename [Identifier] it to [Renamed]"},
        {"Rename Key", kReadOnlyChild,
         [this] { frmMain_->RenameKeyNode(Browser().SelectedNode(), "Renamed"); }, "Rename failed!"},
        {"Edit Value", kReadOnlyChild,
         [this] {
             ASSERT_GE(SelectValue("Identifier"), 0);
             WhenModal([this](QWidget*) { Child<QPushButton>(*frmStr_, "btnOk")->click(); });
             Run("acValueEdit");
         },
         "Access registry database error!"},
    };
    for (const Refused& command : commands) {
        SCOPED_TRACE(command.command);
        const QPersistentModelIndex node = Select(command.key);
        const QPersistentModelIndex parent = node.parent();
        const auto siblings = ChildTexts(parent), children = ChildTexts(node);
        const auto rows = ValueCaptions();
        dialogs_.ClearShown();
        command.run();

        // The refusal is the last box shown (after the question of a delete).
        ASSERT_FALSE(dialogs_.texts().empty());
        EXPECT_TRUE(dialogs_.texts().back().starts_with(command.message)) << dialogs_.texts().back();
        ASSERT_TRUE(node.isValid());
        EXPECT_EQ(ChildTexts(parent), siblings);
        EXPECT_EQ(ChildTexts(node), children);
        EXPECT_EQ(ValueCaptions(), rows);
        EXPECT_TRUE(core::KeyPathExists(kReadOnlyChild));
        EXPECT_EQ(core::ReadValueTextOfPath(kReadOnlyChild, "Identifier"), kIdentifier);
        EXPECT_TRUE(ChildTexts(Select(kReadOnly)) == std::vector<std::string>{"System"});
    }
}

TEST_F(RefusedCommandsTest, KeysAndValuesDeletedBehindTheWindowsBackLeaveNoNodeOrRow) {
    const QPersistentModelIndex behind = Select("HKEY_CURRENT_USER\\Behind");
    DeleteKeyAt("HKEY_CURRENT_USER\\Behind\\Gone");
    DeleteValueAt("HKEY_CURRENT_USER\\Behind", "Lost");

    ASSERT_GE(SelectValue("Lost"), 0);
    dialogs_.QueueAnswer(true);
    Run("acValueDelete");
    EXPECT_EQ(SelectValue("Lost"), -1);

    // The tree still shows the deleted key until told otherwise: New Key below it must not bring it back.
    ASSERT_TRUE(Browser().GoToPath("HKEY_CURRENT_USER\\Behind\\Gone"));
    const QPersistentModelIndex gone = Browser().SelectedNode();
    Run("acKeyNew");
    EXPECT_TRUE(ChildTexts(gone).empty());
    EXPECT_FALSE(core::KeyPathExists("HKEY_CURRENT_USER\\Behind\\Gone"));

    dialogs_.QueueAnswer(true);
    Run("acKeyDelete");
    EXPECT_FALSE(gone.isValid());
    EXPECT_TRUE(ChildTexts(behind).empty());
    EXPECT_EQ(dialogs_.texts(),
              (std::vector<std::string>{
                  "Sure to delete selected item?", "Create new key failed!",
                  "This action will delete all subkeys in this key,will you delete any way?"}));
}

} // namespace
} // namespace hw::test
