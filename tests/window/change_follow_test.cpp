// The key tree and the value list follow changes made outside them (a replace in the Find window, an
// import, a paste) without a refresh, keeping the selection, the expansion and the scroll position.
#include "core/key_ops.h"
#include "core/value_text.h"
#include "regfile/reg_import.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>
#include <functional>

namespace hw::test {
namespace {

const std::string kShown = "HKEY_CURRENT_USER\\Follow\\Shown";

class ChangeFollowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        for (int i = 10; i < 70; ++i)
            WriteText(kShown, "v" + std::to_string(i), "old");
        WriteText(kShown, "subvalue", "x");
        CreateKeyPath(kShown + "\\Sub\\Deep");
        CreateKeyPath("HKEY_CURRENT_USER\\Follow\\Other\\Inner");
        CreateWindow();
        frmMain_->resize(640, 300);
        frmMain_->show();
        tree_ = Child<QTreeView>(*frmMain_, "trvwKeys");
        list_ = Child<QTreeView>(*frmMain_, "lstvwValues");
    }

    int RowOf(const std::string& caption) const {
        const std::vector<std::string> captions = ValueCaptions();
        const auto at = std::find(captions.begin(), captions.end(), caption);
        return at == captions.end() ? -1 : static_cast<int>(at - captions.begin());
    }

    std::string SelectedCaption() const {
        const std::vector<int> rows = Browser().SelectedValueRows();
        return rows.size() == 1 ? Browser().ValueRowAt(rows.front()).Caption() : std::string();
    }

    QTreeView* tree_ = nullptr;
    QTreeView* list_ = nullptr;
};

TEST_F(ChangeFollowTest, ChangesMadeElsewhereShowWithoutARefreshAndTheViewStaysWhereItWas) {
    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<std::string> children; // of the shown key, afterwards
        const char* newRow;
        const char* goneRow;
    };
    const std::vector<Case> cases = {
        {"a replace in the Find window",
         [this] {
             window::TfrmFind& replace = *frmReplace_;
             replace.SetCurrentKey(kShown);
             Child<QLineEdit>(replace, "edtItem")->setText("sub");
             replace.btnOkClick();
             Child<QLineEdit>(replace, "edtReplaceFrom")->setText("SUB");
             Child<QLineEdit>(replace, "edtReplaceTo")->setText("Top");
             replace.ReplaceAll();
         },
         {"Top"},
         "Topvalue",
         "subvalue"},
        {"an import",
         [this] {
             ASSERT_EQ(regfile::ImportRegLines({"REGEDIT4", "", "[" + kShown + "\\Imported]",
                                                "[" + kShown + "]", "\"added\"=\"new\"", "\"subvalue\"=-"}),
                       regfile::ImportResult::Success);
         },
         {"Imported", "Sub"},
         "added",
         "subvalue"},
        {"a key pasted",
         [this] {
             frmMain_->SetKeyClipboard("HKEY_CURRENT_USER\\Follow\\Other");
             Run("acKeyPaste");
         },
         {"Other", "Sub"},
         "v10",
         ""},
    };
    for (const Case& one : cases) {
        SCOPED_TRACE(one.what);
        // Written through the registry layer, so that the tree learns of it.
        ASSERT_TRUE(core::WriteValueTextOfPath(kShown + "\\Sub\\Deep", "d", "x", REG_SZ));
        ASSERT_TRUE(Browser().GoToPath(kShown + "\\Sub\\Deep"));
        ASSERT_TRUE(Browser().GoToPath(kShown));
        const QPersistentModelIndex shown = Browser().SelectedNode();
        SelectRows({RowOf("v40")});
        list_->verticalScrollBar()->setValue(list_->verticalScrollBar()->maximum() / 2);
        const int scrolled = list_->verticalScrollBar()->value();
        ASSERT_GT(scrolled, 0);

        one.change();

        EXPECT_EQ(ChildTexts(shown), one.children);
        EXPECT_GE(RowOf(one.newRow), 0);
        EXPECT_EQ(RowOf(one.goneRow), -1);
        EXPECT_EQ(SelectedPath(), kShown);
        EXPECT_TRUE(tree_->isExpanded(shown));
        EXPECT_EQ(SelectedCaption(), "v40");
        EXPECT_EQ(list_->verticalScrollBar()->value(), scrolled);
        EXPECT_TRUE(core::DeleteKeyPath(kShown + "\\" + one.children.front()));
        WriteText(kShown, "subvalue", "x");
    }
}

} // namespace
} // namespace hw::test
