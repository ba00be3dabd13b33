// Opening results in their editors and copying them to the main window's clipboards.
#include "core/value_text.h"
#include "editors/window/frm_bin.h"
#include "editors/window/frm_dword.h"
#include "editors/window/frm_str.h"
#include "editors/window/number_edit.h"
#include "search/window/found_list_model.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QTreeView>

namespace hw::test {
namespace {

using window::TfrmFind;

const std::string kBase = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Act";

class FindActionsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        CreateKeyPath(kBase + "\\ActKey");
        WriteRawValue(kBase, "ActMax", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
        WriteText(kBase, "ActText", "some text");
        WriteRawValue(kBase, "ActBytes", REG_BINARY, {0xDE, 0xAD});
        WriteRawValue(kBase, "ActMulti", REG_MULTI_SZ, {'o', 'n', 'e', 0, 't', 'w', 'o', 0, 0});
        CreateWindow();
        find_ = frmFind_.get();
        Child<QCheckBox>(*find_, "chckbxWildCharSupport")->click();
        Child<QCheckBox>(*find_, "chckbxStringData")->click(); // names only: one row per value
        Child<QCheckBox>(*find_, "chckbxDwordData")->click();
        Child<QCheckBox>(*find_, "chckbxBinaryData")->click();
        find_->SetCurrentKey(kBase);
        Child<QLineEdit>(*find_, "edtItem")->setText("act");
        find_->btnOkClick();
    }

    // The row of the result with that caption.
    int RowOf(const std::string& caption) const {
        for (int row = 0; row < find_->Model()->Count(); ++row)
            if (find_->Model()->index(row, 0).data().toString().toStdString() == caption) return row;
        ADD_FAILURE() << caption;
        return 0;
    }

    void Select(const std::vector<std::string>& captions) {
        QItemSelectionModel* selection = Child<QTableView>(*find_, "lstvwFound")->selectionModel();
        selection->clear();
        for (const std::string& caption : captions)
            selection->select(find_->Model()->index(RowOf(caption), 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        selection->setCurrentIndex(find_->Model()->index(RowOf(captions.front()), 0),
                                   QItemSelectionModel::NoUpdate);
    }

    TfrmFind* find_ = nullptr;
};

TEST_F(FindActionsTest, EditOpensTheValueEditorsAndTheRowFollowsWhatWasWritten) {
    Select({"ActMax"});
    std::string shown;
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<editors::TfrmDword*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        shown = Child<editors::NumberEdit>(*editor, "edtValue")->text().toStdString();
        Child<editors::NumberEdit>(*editor, "edtValue")->setText("7");
        Child<QPushButton>(*editor, "btnOk")->click();
    });
    find_->OpenResult();
    EXPECT_EQ(shown, "4294967295");
    EXPECT_EQ(core::ReadValueTextOfPath(kBase, "ActMax"), "7");
    EXPECT_EQ(find_->Model()->Texts(RowOf("ActMax")).data, "0x00000007 (7)");

    Select({"ActText"});
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<editors::TfrmStr*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        shown = Child<QPlainTextEdit>(*editor, "mmValue")->toPlainText().toStdString();
        Child<QPlainTextEdit>(*editor, "mmValue")->setPlainText("edited");
        Child<QPushButton>(*editor, "btnOk")->click();
    });
    find_->OpenResult();
    EXPECT_EQ(shown, "some text");
    EXPECT_EQ(find_->Model()->Texts(RowOf("ActText")).data, "\"edited\"");

    Select({"ActBytes"});
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<editors::TfrmBin*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        shown = editor->HexText();
        editor->SetBytes(std::string("\x01\x02\x03", 3));
        Child<QPushButton>(*editor, "btnOK")->click();
    });
    find_->OpenResult();
    EXPECT_EQ(shown, "DE AD");
    EXPECT_EQ(find_->Model()->Texts(RowOf("ActBytes")).data, "01 02 03");
    EXPECT_EQ(find_->Model()->Result(RowOf("ActBytes")).valueType, DWORD{REG_BINARY});
}

TEST_F(FindActionsTest, CopyFillsTheKeyOrTheValueClipboard) {
    Select({"ActKey", "ActText"});
    EXPECT_FALSE(find_->CopyAllowed());
    Select({"ActKey"});
    ASSERT_TRUE(find_->CopyAllowed());
    find_->CopyResults();
    EXPECT_TRUE(frmMain_->KeyClip().copied);
    EXPECT_EQ(frmMain_->KeyClip().path, kBase + "\\ActKey");

    Select({"ActText", "ActMulti", "ActMax"});
    ASSERT_TRUE(find_->CopyAllowed());
    find_->CopyResults();
    std::vector<std::string> entries;
    for (const app::TValueCopyData& entry : frmMain_->ValueClip().Entries())
        entries.push_back(entry.name + "=" + entry.data + "/" + std::to_string(entry.strings.size()));
    // Newest first; a multi-string keeps every string.
    EXPECT_EQ(entries,
              (std::vector<std::string>{"ActMulti=one/2", "ActText=some text/0", "ActMax=4294967295/0"}));
}

} // namespace
} // namespace hw::test
