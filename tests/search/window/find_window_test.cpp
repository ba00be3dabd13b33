// The Find and Replace windows on a real temp registry: conditions, the search, and the actions on rows.
#include "core/key_ops.h"
#include "core/value_text.h"
#include "search/window/found_list_model.h"
#include "search/window/search_animation.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"
#include "ui/image_list.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QTreeView>

namespace hw::test {
namespace {

using window::FoundListModel;
using window::TfrmFind;

const std::string kBase = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Seek";

class FindWindowTest : public MainWindowTest {
  protected:
    void SetUp() override { CreateWindow(); }

    // Runs a search in the current key (kBase unless given) for text.
    void Search(TfrmFind& window, const std::string& text, const std::string& start = kBase) {
        window.SetCurrentKey(start);
        Child<QLineEdit>(window, "edtItem")->setText(QString::fromStdString(text));
        window.btnOkClick();
    }

    // Each row as "caption|at key|at value|data".
    static std::vector<std::string> Rows(const TfrmFind& window) {
        std::vector<std::string> rows;
        const FoundListModel* model = window.Model();
        for (int row = 0; row < model->Count(); ++row) {
            std::string text;
            for (int column = 0; column < FoundListModel::kColumnCount; ++column)
                text += (column ? "|" : "") + model->index(row, column).data().toString().toStdString();
            rows.push_back(text);
        }
        return rows;
    }

    static void Select(TfrmFind& window, const std::vector<int>& rows) {
        QItemSelectionModel* selection = Child<QTableView>(window, "lstvwFound")->selectionModel();
        selection->clear();
        for (int row : rows)
            selection->select(window.Model()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (!rows.empty())
            selection->setCurrentIndex(window.Model()->index(rows.front(), 0), QItemSelectionModel::NoUpdate);
    }

    static void SetReplace(TfrmFind& window, const std::string& from, const std::string& to) {
        Child<QLineEdit>(window, "edtReplaceFrom")->setText(QString::fromStdString(from));
        Child<QLineEdit>(window, "edtReplaceTo")->setText(QString::fromStdString(to));
    }
};

TEST_F(FindWindowTest, ConditionsFollowTheTextsAndOptions) {
    TfrmFind& find = *frmReplace_;
    EXPECT_EQ(find.windowTitle().toStdString(), "Replace");
    EXPECT_EQ(frmFind_->windowTitle().toStdString(), "Find");
    EXPECT_FALSE(Child<QGroupBox>(*frmFind_, "grpbxReplace")->isVisibleTo(frmFind_.get()));
    EXPECT_TRUE(Child<QGroupBox>(find, "grpbxReplace")->isVisibleTo(&find));

    // An empty find text keeps Find disabled, and Enter does nothing then.
    EXPECT_FALSE(Child<QPushButton>(find, "btnOk")->isEnabled());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(Child<QLineEdit>(find, "edtItem"), &enter);
    EXPECT_EQ(find.Model()->Count(), 0);
    EXPECT_FALSE(Child<window::SearchAnimation>(find, "anmtFind")->IsRunning());

    struct FromCase {
        bool wildcards;
        std::string findText;
        std::string from;
    };
    for (const FromCase& c :
         std::vector<FromCase>{{true, "a\\*b", "A*B"}, {true, "x\\\\y", "X\\Y"}, {false, "a\\*b", "A\\*B"}}) {
        Child<QCheckBox>(find, "chckbxWildCharSupport")->setChecked(c.wildcards);
        Child<QCheckBox>(find, "chckbxReplaceKey")->setChecked(false);
        Child<QLineEdit>(find, "edtItem")->setText(QString::fromStdString(c.findText));
        EXPECT_EQ(Child<QLineEdit>(find, "edtReplaceFrom")->text().toStdString(), c.from) << c.findText;
        EXPECT_TRUE(Child<QPushButton>(find, "btnOk")->isEnabled());
    }

    // From is upper case however it was filled; Replace needs a From text that To would change, compared
    // without case.
    Child<QCheckBox>(find, "chckbxReplaceKey")->setChecked(false);
    SetReplace(find, "abc", "ABC");
    EXPECT_FALSE(Child<QPushButton>(find, "btnReplace")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(find, "btnReplaceAll")->isEnabled());
    SetReplace(find, "abc", "abd");
    EXPECT_TRUE(Child<QPushButton>(find, "btnReplace")->isEnabled());
    // With key names replaced, From cannot hold a backslash.
    SetReplace(find, "a\\b", "x");
    EXPECT_EQ(Child<QLineEdit>(find, "edtReplaceFrom")->text().toStdString(), "A\\B");
    Child<QCheckBox>(find, "chckbxReplaceKey")->setChecked(true);
    EXPECT_EQ(Child<QLineEdit>(find, "edtReplaceFrom")->text().toStdString(), "AB");

    // The last of Key, Value and String Data cannot be unticked; Dword and Binary Data can.
    for (QCheckBox* box :
         {Child<QCheckBox>(find, "chckbxValue"), Child<QCheckBox>(find, "chckbxStringData"),
          Child<QCheckBox>(find, "chckbxDwordData"), Child<QCheckBox>(find, "chckbxBinaryData")})
        box->click();
    EXPECT_TRUE(Child<QCheckBox>(find, "chckbxKey")->isChecked());
    Child<QCheckBox>(find, "chckbxKey")->click();
    EXPECT_TRUE(Child<QCheckBox>(find, "chckbxKey")->isChecked());

    // Wildcards and whole words exclude each other.
    Child<QCheckBox>(find, "chckbxWildCharSupport")->setChecked(true);
    Child<QCheckBox>(find, "chckbxWildCharSupport")->click();
    EXPECT_TRUE(Child<QCheckBox>(find, "chckbxWholeWordsOnly")->isEnabled());
    Child<QCheckBox>(find, "chckbxWholeWordsOnly")->setChecked(true);
    Child<QCheckBox>(find, "chckbxWildCharSupport")->click();
    EXPECT_FALSE(Child<QCheckBox>(find, "chckbxWholeWordsOnly")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(find, "chckbxWholeWordsOnly")->isEnabled());
}

TEST_F(FindWindowTest, SearchListsRowsInWalkOrderWithTheirTextsAndCount) {
    WriteText(kBase, "RunText", "say run");
    WriteRawValue(kBase, "Number", REG_DWORD, {10, 0, 0, 0});
    WriteRawValue(kBase, "Blob", REG_BINARY, {0xDE, 0xAD});
    CreateKeyPath(kBase + "\\Run\\Deep");
    WriteRawValue(kBase + "\\Run", "Big", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 10});

    TfrmFind& find = *frmFind_;
    Child<QCheckBox>(find, "chckbxWildCharSupport")->click(); // contains mode
    Search(find, "run");
    EXPECT_EQ(Rows(find), (std::vector<std::string>{
                              "RunText|" + kBase + "|RunText|\"say run\"",
                              "RunText|" + kBase + "|RunText|\"say run\"",
                              "Run|" + kBase + "\\Run|| ",
                          }));
    EXPECT_EQ(Child<QGroupBox>(find, "grpbxFoundResult")->title().toStdString(),
              "Find result: total [3] items");
    EXPECT_EQ(Child<QPushButton>(find, "btnOk")->text().toStdString(), "&Find");
    EXPECT_FALSE(Child<window::SearchAnimation>(find, "anmtFind")->IsRunning());

    Search(find, "10");
    EXPECT_EQ(Rows(find), (std::vector<std::string>{
                              "Number|" + kBase + "|Number|0x0000000A (10)",
                              "Big|" + kBase + "\\Run|Big|0x0000000A (10)",
                          }));
    Child<QCheckBox>(find, "chckbxWholeWordsOnly")->setChecked(true);
    Search(find, "RUN");
    EXPECT_EQ(Rows(find), (std::vector<std::string>{"Run|" + kBase + "\\Run|| "}));
    Child<QCheckBox>(find, "chckbxWholeWordsOnly")->setChecked(false);
    Search(find, "E A");
    EXPECT_EQ(Rows(find), (std::vector<std::string>{"Blob|" + kBase + "|Blob|DE AD"}));
    EXPECT_EQ(find.Model()->Texts(0).raw, "..");
    EXPECT_EQ(window::ResultPicture(find.Model()->Result(0)), ui::kImgValueBytes);

    // The whole registry, whatever the current key says.
    Child<QRadioButton>(find, "rdWholeRegistry")->setChecked(true);
    CreateKeyPath("HKEY_USERS\\SeekUser\\Run");
    Search(find, "run", "HKEY_LOCAL_MACHINE\\Nowhere");
    const std::vector<std::string> rows = Rows(find);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows.back(), "Run|HKEY_USERS\\SeekUser\\Run|| ");
}

TEST_F(FindWindowTest, StopAndCloseEndTheWalk) {
    CreateKeyPath(kBase + "\\Run");
    TfrmFind& find = *frmFind_;
    Child<QRadioButton>(find, "rdWholeRegistry")->setChecked(true);
    // Stop pressed as the walk lets the first messages through: nothing is found, HKEY_USERS not started.
    QTimer::singleShot(0, Child<QPushButton>(find, "btnOk"), [&] {
        EXPECT_EQ(Child<QPushButton>(find, "btnOk")->text().toStdString(), "&Stop");
        EXPECT_TRUE(find.Searching());
        Child<QPushButton>(find, "btnOk")->click();
    });
    Search(find, "run");
    EXPECT_EQ(find.Model()->Count(), 0);
    EXPECT_EQ(Child<QPushButton>(find, "btnOk")->text().toStdString(), "&Find");
    EXPECT_FALSE(Child<window::SearchAnimation>(find, "anmtFind")->IsRunning());

    // Esc is Close: the window closes with OK and a running walk stops.
    find.show();
    QTimer::singleShot(0, &find, [&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(Child<QTableView>(find, "lstvwFound"), &escape);
    });
    Search(find, "run");
    EXPECT_EQ(find.Model()->Count(), 0);
    EXPECT_FALSE(find.isVisible());
    EXPECT_EQ(find.result(), QDialog::Accepted);
}

TEST_F(FindWindowTest, RenameFollowsItsRulesAndMovesRowsBelowTheKey) {
    CreateKeyPath(kBase + "\\Soft\\Inner");
    CreateKeyPath(kBase + "\\Taken");
    WriteText(kBase + "\\Soft\\Inner", "SoftValue", "x");
    WriteText(kBase + "\\Soft\\Inner", "Other", "y");
    TfrmFind& find = *frmFind_;
    Child<QCheckBox>(find, "chckbxWildCharSupport")->click();
    Search(find, "soft");
    ASSERT_EQ(Rows(find).size(), 2u); // the key, then the value name below it
    FoundListModel& model = *find.Model();
    const QModelIndex keyCaption = model.index(0, 0);

    model.setData(keyCaption, "Bad\\Name", Qt::EditRole);
    model.setData(keyCaption, "Taken", Qt::EditRole);
    model.setData(model.index(1, 0), "other", Qt::EditRole);
    EXPECT_EQ(dialogs_.texts(),
              (std::vector<std::string>{"Invalid key name!should not with \"\\\" character",
                                        "Name [Taken] already exists!", "Name [other] already exists!"}));
    EXPECT_TRUE(core::KeyPathExists(kBase + "\\Soft"));
    EXPECT_EQ(keyCaption.data().toString().toStdString(), "Soft");

    model.setData(keyCaption, "Hard", Qt::EditRole);
    EXPECT_FALSE(core::KeyPathExists(kBase + "\\Soft"));
    EXPECT_EQ(Rows(find), (std::vector<std::string>{"Hard|" + kBase + "\\Hard|| ",
                                                    "SoftValue|" + kBase + "\\Hard\\Inner|SoftValue|\"x\""}));
    model.setData(model.index(1, 0), "Renamed", Qt::EditRole);
    EXPECT_TRUE(core::ValuePathExists(kBase + "\\Hard\\Inner", "Renamed"));
    EXPECT_EQ(model.Result(1).valueName, "Renamed");
}

TEST_F(FindWindowTest, DeleteRemovesRowsBelowADeletedKeyButNotOfASiblingWithTheSamePrefix) {
    CreateKeyPath(kBase + "\\Soft\\Below");
    CreateKeyPath(kBase + "\\Software");
    WriteText(kBase + "\\Soft\\Below", "SoftA", "1");
    WriteText(kBase + "\\Software", "SoftB", "soft data");
    TfrmFind& find = *frmFind_;
    Child<QCheckBox>(find, "chckbxWildCharSupport")->click();
    Search(find, "soft");
    ASSERT_EQ(Rows(find).size(), 5u); // Soft, SoftA, Software, SoftB name, SoftB data
    Select(find, {0, 1});
    dialogs_.QueueAnswer(false);
    find.DeleteResults();
    EXPECT_EQ(find.Model()->Count(), 5);
    dialogs_.QueueAnswer(true);
    find.DeleteResults();
    EXPECT_EQ(dialogs_.texts().back(), "Sure to delete all selected items?");
    EXPECT_FALSE(core::KeyPathExists(kBase + "\\Soft"));
    EXPECT_EQ(Rows(find).size(), 3u);
    EXPECT_EQ(find.Model()->Result(0).keyPath, kBase + "\\Software");

    // A deleted value takes its other row (name and data both matched) with it.
    Select(find, {1});
    dialogs_.QueueAnswer(true);
    find.DeleteResults();
    EXPECT_FALSE(core::ValuePathExists(kBase + "\\Software", "SoftB"));
    EXPECT_EQ(Rows(find), (std::vector<std::string>{"Software|" + kBase + "\\Software|| "}));
    EXPECT_EQ(Child<QGroupBox>(find, "grpbxFoundResult")->title().toStdString(),
              "Find result: total [1] items");
}

TEST_F(FindWindowTest, ReplaceChangesKeyNamesValueNamesAndDataOfEachClass) {
    CreateKeyPath(kBase + "\\AbKey\\Child");
    WriteText(kBase + "\\AbKey\\Child", "Text", "xaby");
    WriteRawValue(kBase + "\\AbKey\\Child", "Multi", REG_MULTI_SZ, {'a', 'b', 0, 'k', 'e', 'e', 'p', 0, 0});
    WriteRawValue(kBase, "Num", REG_DWORD, {12, 0, 0, 0});
    WriteRawValue(kBase, "Bytes", REG_BINARY, {0xAB, 0x01});
    TfrmFind& find = *frmReplace_;
    Child<QCheckBox>(find, "chckbxWildCharSupport")->click();
    Search(find, "ab");
    ASSERT_EQ(Rows(find).size(), 4u); // Bytes data, AbKey, Text data, Multi data
    SetReplace(find, "AB", "Cd");
    find.ReplaceAll();
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"Rows replaced: 4 of 4."});
    const std::string moved = kBase + "\\CdKey\\Child";
    EXPECT_TRUE(core::KeyPathExists(moved));
    EXPECT_EQ(core::ReadValueTextOfPath(moved, "Text"), "xCdy");
    EXPECT_EQ(hw::core::ReadRawValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seek\\CdKey\\Child", "Multi")->data,
              (std::vector<BYTE>{'C', 'd', 0, 'k', 'e', 'e', 'p', 0, 0}));
    EXPECT_EQ(Rows(find), (std::vector<std::string>{
                              "Bytes|" + kBase + "|Bytes|CD 01",
                              "CdKey|" + kBase + "\\CdKey|| ",
                              "Text|" + moved + "|Text|\"xCdy\"",
                              "Multi|" + moved + "|Multi|\"Cd\"",
                          }));

    // Number data and value names: "12" in Num becomes 34, the name too when it matches.
    WriteRawValue(kBase, "Val12", REG_DWORD, {12, 0, 0, 0});
    Search(find, "12");
    ASSERT_EQ(Rows(find).size(), 3u); // Num data, Val12 name, Val12 data
    SetReplace(find, "12", "3412");
    dialogs_.ClearShown();
    find.ReplaceAll();
    // The value's second row was replaced with its first, not by a replace of its own.
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"Rows replaced: 2 of 3."});
    EXPECT_EQ(core::ReadValueTextOfPath(kBase, "Num"), "3412");
    // The value found twice is changed once, although To holds From.
    EXPECT_TRUE(core::ValuePathExists(kBase, "Val3412"));
    EXPECT_EQ(core::ReadValueTextOfPath(kBase, "Val3412"), "3412");
    EXPECT_EQ(Rows(find).at(2), "Val3412|" + kBase + "|Val3412|0x00000D54 (3412)");
}

TEST_F(FindWindowTest, ReplaceOnResultsChangedBehindTheWindowReportsAndSkipsThem) {
    CreateKeyPath(kBase + "\\OldKey");
    WriteText(kBase, "OldName", "old text");
    WriteText(kBase, "Shown", "old shown");
    TfrmFind& find = *frmReplace_;
    Child<QCheckBox>(find, "chckbxWildCharSupport")->click();
    Child<QCheckBox>(find, "chckbxValue")->click(); // key names and data only
    Search(find, "old");
    ASSERT_EQ(Rows(find).size(), 3u); // OldName data, Shown data, OldKey
    // Behind the window: the key goes, one value is renamed, the other's data changes after it was shown.
    DeleteKeyAt(kBase + "\\OldKey");
    ASSERT_TRUE(core::RenameValuePath(kBase, "OldName", "Moved"));
    WriteText(kBase, "Shown", "new old data");
    SetReplace(find, "OLD", "new");
    find.ReplaceAll();

    EXPECT_FALSE(core::KeyPathExists(kBase + "\\newKey"));
    EXPECT_FALSE(core::KeyPathExists(kBase + "\\OldKey"));
    EXPECT_FALSE(core::ValuePathExists(kBase, "OldName"));
    EXPECT_EQ(core::ReadValueTextOfPath(kBase, "Moved"), "old text");
    EXPECT_EQ(core::ReadValueTextOfPath(kBase, "Shown"), "new old data");
    EXPECT_EQ(dialogs_.texts(),
              (std::vector<std::string>{
                  "3 result(s) changed or disappeared since the search and were left alone:\n" + kBase +
                      "  \"OldName\"\n" + kBase + "  \"Shown\"\n" + kBase + "\\OldKey",
                  "Rows replaced: 0 of 3."}));
}

TEST_F(FindWindowTest, GoToResultSelectsTheKeyAndTheValueInTheMainWindow) {
    WriteText(kBase + "\\Where", "Target", "here");
    WriteText(kBase + "\\Where", "Another", "there");
    frmMain_->show();
    TfrmFind& find = *frmFind_;
    QTimer::singleShot(0, &find, [&] {
        Search(find, "target");
        ASSERT_EQ(find.Model()->Count(), 1);
        Select(find, {0});
        find.GoToResult();
    });
    ASSERT_TRUE(Browser().GoToPath(kBase));
    Child<QAction>(*frmMain_, "acFind")->trigger();
    EXPECT_FALSE(find.isVisible());
    EXPECT_EQ(Child<QLineEdit>(find, "edtCurrentKey")->text().toStdString(), kBase);
    EXPECT_EQ(SelectedPath(), kBase + "\\Where");
    const QModelIndex current = Child<QTreeView>(*frmMain_, "lstvwValues")->currentIndex();
    ASSERT_TRUE(current.isValid());
    EXPECT_EQ(Browser().ValueRowAt(current.row()).record.valueName, "Target");
}

} // namespace
} // namespace hw::test
