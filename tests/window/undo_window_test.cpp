// Undo and Redo from the keyboard in the main window, against a real store.
#include "core/key_ops.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTreeView>

namespace hw::test {
namespace {

const std::string kBase = "HKEY_CURRENT_USER\\UndoWindow";

class UndoWindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        CreateKeyPath(kBase + "\\Gone\\Inner");
        WriteText(kBase + "\\Gone", "kept", "1");
        CreateWindow();
        ShowActive();
    }
    void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(widget, static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }
    bool Enabled(const char* action) { return Child<QAction>(*frmMain_, action)->isEnabled(); }
};

TEST_F(UndoWindowTest, CtrlZUndoesADeletedSubtreeAndTheTreeFollows) {
    QTreeView* tree = Child<QTreeView>(*frmMain_, "trvwKeys");
    ASSERT_TRUE(Browser().GoToPath(kBase + "\\Gone"));
    UpdateCommands();
    tree->setFocus();
    EXPECT_FALSE(Enabled("acUndo"));
    dialogs_.QueueAnswer(true);
    Press(tree, Qt::Key_Delete);
    ASSERT_FALSE(core::KeyPathExists(kBase + "\\Gone"));
    EXPECT_TRUE(Enabled("acUndo"));
    EXPECT_FALSE(Enabled("acRedo"));

    Press(tree, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(core::KeyPathExists(kBase + "\\Gone\\Inner"));
    EXPECT_TRUE(core::ValuePathExists(kBase + "\\Gone", "kept"));
    EXPECT_EQ(ChildTexts(Browser().FindNode(kBase)), std::vector<std::string>{"Gone"});
    EXPECT_FALSE(Enabled("acUndo"));
    EXPECT_TRUE(Enabled("acRedo"));

    Press(tree, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(core::KeyPathExists(kBase + "\\Gone"));
    Press(tree, Qt::Key_Z, Qt::ControlModifier);
    Press(tree, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(core::KeyPathExists(kBase + "\\Gone"));

    // Another program makes the key again: the undo says so and leaves it.
    WriteText(kBase + "\\Gone", "theirs", "2");
    Press(tree, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(core::KeyPathExists(kBase + "\\Gone\\Inner"));
    EXPECT_EQ(dialogs_.texts().back(),
              "The change cannot be undone: [" + kBase + "\\Gone] was changed since. Nothing was changed.");
    EXPECT_TRUE(Enabled("acUndo"));
}

} // namespace
} // namespace hw::test
