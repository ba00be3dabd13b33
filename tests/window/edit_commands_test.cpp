// New, rename and delete of keys and values in the main window, against a real store.
#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "core/key_ops.h"
#include "core/value_text.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTreeView>

namespace hw::test {
namespace {

const std::string kBase = "HKEY_CURRENT_USER\\Edit";

class EditCommandsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        CreateKeyPath(kBase + "\\Alpha\\Inner");
        CreateKeyPath(kBase + "\\Beta");
        CreateWindow();
    }
    void Select(const std::string& path) {
        ASSERT_TRUE(Browser().GoToPath(path)) << path;
        UpdateCommands();
    }
    std::vector<BYTE> Data(const std::string& path, const std::string& name) {
        const auto value = core::ReadRawValue(HKEY_CURRENT_USER, path.substr(18), name);
        return value ? value->data : std::vector<BYTE>{};
    }
};

TEST_F(EditCommandsTest, NewKeyOnANeverExpandedKeyAddsOneNodeAndStartsItsRename) {
    Select(kBase + "\\Alpha");
    ASSERT_FALSE(Browser().KeyModel()->IsLoaded(Browser().SelectedNode()));
    Child<QAction>(*frmMain_, "acKeyNew")->trigger();
    const QModelIndex alpha = Browser().FindNode(kBase + "\\Alpha");
    EXPECT_EQ(ChildTexts(alpha), (std::vector<std::string>{"Inner", "New Key #1"}));
    EXPECT_TRUE(core::KeyPathExists(kBase + "\\Alpha\\New Key #1"));
    EXPECT_EQ(SelectedPath(), kBase + "\\Alpha\\New Key #1");
    // Enter on the suggested name keeps the key and its node.
    QWidget* editor = Child<QTreeView>(*frmMain_, "trvwKeys")->indexWidget(Browser().SelectedNode());
    ASSERT_NE(editor, nullptr);
    emit Child<QTreeView>(*frmMain_, "trvwKeys")->itemDelegate()->commitData(editor);
    QApplication::processEvents();
    EXPECT_EQ(ChildTexts(alpha), (std::vector<std::string>{"Inner", "New Key #1"}));
    EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(EditCommandsTest, InPlaceKeyRenameFollowsTheRules) {
    Select(kBase);
    Browser().LoadSubKeys(Browser().SelectedNode());
    const QModelIndex base = Browser().SelectedNode();
    struct Case {
        const char* name;
        bool renamed;
        std::string message;
    };
    const Case cases[] = {
        {"", false, ""},
        {"ALPHA", false, ""}, // case only: nothing happens
        {"Al\\pha", false, "Invalid key name!should not with \"\\\" character"},
        {"beta", false, "Same Name Sub Key:[" + kBase + "\\beta] Exists"},
        {"Gamma", true, ""},
    };
    for (const Case& c : cases) {
        dialogs_.ClearShown();
        const QModelIndex alpha = Browser().KeyModel()->FindChildUpper(base, "ALPHA");
        ASSERT_TRUE(alpha.isValid()) << c.name;
        EXPECT_EQ(frmMain_->RenameKeyNode(alpha, c.name), c.renamed) << c.name;
        const std::vector<std::string> texts = dialogs_.texts();
        EXPECT_EQ(texts, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message})
            << c.name;
    }
    EXPECT_TRUE(core::KeyPathExists(kBase + "\\Gamma\\Inner"));
    EXPECT_FALSE(core::KeyPathExists(kBase + "\\Alpha"));
    // Siblings are sorted again after the rename.
    EXPECT_EQ(ChildTexts(base), (std::vector<std::string>{"Beta", "Gamma"}));
    EXPECT_FALSE(frmMain_->RenameKeyNode(Browser().FindNode("HKEY_CURRENT_USER"), "Other"));
}

TEST_F(EditCommandsTest, RenamingTheSelectedKeyReadsItsRowsUnderTheNewPath) {
    WriteText(kBase + "\\Alpha", "v", "1");
    Select(kBase + "\\Alpha");
    ASSERT_TRUE(frmMain_->RenameKeyNode(Browser().SelectedNode(), "Renamed"));
    // The "(Default)" row and the value's.
    ASSERT_EQ(Browser().ValueRowCount(), 2);
    EXPECT_EQ(Browser().ValueRecord(1).keyPath, kBase + "\\Renamed");
    EXPECT_EQ(frmMain_->StatusText().toStdString(), "[" + kBase + "\\Renamed]");
}

TEST_F(EditCommandsTest, NewValuesOfEveryClassAndTheirRename) {
    Select(kBase + "\\Beta");
    Child<QAction>(*frmMain_, "acValueNewBigEndianDwordValue")->trigger(); // big-endian DWORD
    Child<QAction>(*frmMain_, "acValueNewStringValue")->trigger();         // string
    Child<QAction>(*frmMain_, "acValueNewBinaryValue")->trigger();         // binary
    EXPECT_EQ(ValueCaptions(),
              (std::vector<std::string>{"(Default)", "New Value #1", "New Value #2", "New Value #3"}));
    const app::ValueRow& number = Browser().ValueRowAt(1);
    EXPECT_EQ(number.TypeColumn(), "REG_DWORD_BIG_ENDIAN");
    EXPECT_EQ(number.SizeColumn(), "4");
    EXPECT_EQ(number.DataColumn(), "0x00000000 (0)");
    EXPECT_EQ(Browser().ValueRowAt(2).DataColumn(), "\"\"");
    EXPECT_EQ(Browser().ValueRowAt(3).SizeColumn(), "0");
    EXPECT_EQ(Data(kBase + "\\Beta", "New Value #2"), (std::vector<BYTE>{0}));
    EXPECT_NE(Child<QTreeView>(*frmMain_, "lstvwValues")->indexWidget(Browser().ValueModel()->index(3, 0)),
              nullptr);

    dialogs_.ClearShown();
    EXPECT_FALSE(frmMain_->RenameValueRow(1, "new value #1"));
    EXPECT_FALSE(frmMain_->RenameValueRow(1, "New Value #2"));
    EXPECT_EQ(dialogs_.texts(),
              std::vector<std::string>{"Can not rename [New Value #1] it to [New Value #2]"});
    EXPECT_TRUE(frmMain_->RenameValueRow(1, "Zed"));
    EXPECT_EQ(ValueCaptions(),
              (std::vector<std::string>{"(Default)", "New Value #2", "New Value #3", "Zed"}));
    EXPECT_EQ(Data(kBase + "\\Beta", "Zed"), (std::vector<BYTE>{0, 0, 0, 0}));
}

TEST_F(EditCommandsTest, TheDefaultValueEditsFromItsEmptyNameSoEnterRenamesNothing) {
    WriteText(kBase + "\\Beta", "", "default");
    Select(kBase + "\\Beta");
    ASSERT_EQ(ValueCaptions(), std::vector<std::string>{"<Unknow Name>"});
    const QModelIndex name = Browser().ValueModel()->index(0, 0);
    EXPECT_EQ(Browser().ValueModel()->data(name, Qt::EditRole).toString(), "");
    EXPECT_FALSE(frmMain_->RenameValueRow(0, ""));
    EXPECT_TRUE(core::ValuePathExists(kBase + "\\Beta", ""));
}

TEST_F(EditCommandsTest, DeleteKeyAsksSelectsTheParentAndLeavesRootsAlone) {
    WriteText(kBase, "kept", "1");
    Select("HKEY_CURRENT_USER");
    Run("acKeyDelete");
    EXPECT_TRUE(dialogs_.shown().empty());

    Select(kBase + "\\Alpha");
    Child<QAction>(*frmMain_, "acKeyDelete")->trigger(); // No
    EXPECT_TRUE(core::KeyPathExists(kBase + "\\Alpha"));
    EXPECT_EQ(
        dialogs_.texts(),
        std::vector<std::string>{"This action will delete all subkeys in this key,will you delete any way?"});

    dialogs_.QueueAnswer(true);
    Child<QAction>(*frmMain_, "acKeyDelete")->trigger();
    EXPECT_FALSE(core::KeyPathExists(kBase + "\\Alpha"));
    EXPECT_EQ(SelectedPath(), kBase);
    EXPECT_EQ(ValueCaptions(), (std::vector<std::string>{"(Default)", "kept"}));
    EXPECT_EQ(ChildTexts(Browser().SelectedNode()), std::vector<std::string>{"Beta"});
}

TEST_F(EditCommandsTest, DeleteValuesAsksOnceAndKeepsRowsOfValuesThatStayed) {
    for (const char* name : {"a", "b", "c", "d"})
        WriteText(kBase + "\\Beta", name, name);
    Select(kBase + "\\Beta");
    SelectRows({1, 2, 3});
    dialogs_.QueueAnswer(true);
    Child<QAction>(*frmMain_, "acValueDelete")->trigger();
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"Sure to delete all selected items?"});
    EXPECT_EQ(ValueCaptions(), (std::vector<std::string>{"(Default)", "d"}));
    EXPECT_FALSE(core::ValuePathExists(kBase + "\\Beta", "a"));

    // The key went away behind the window's back: nothing can be deleted, and the user hears so.
    DeleteKeyAt(kBase + "\\Beta");
    SelectRows({1});
    dialogs_.ClearShown();
    dialogs_.QueueAnswer(true);
    Run("acValueDelete");
    EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{"Sure to delete selected item?",
                                                          "These values could not be deleted:\nd"}));
    EXPECT_EQ(ValueCaptions(), (std::vector<std::string>{"(Default)", "d"}));
}

} // namespace
} // namespace hw::test
