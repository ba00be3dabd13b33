// Going to typed paths, the address box and its history, Go To Last and the Current Key command.
#include "app/window/key_tree_model.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace hw::test {
namespace {

class NavigationTest : public MainWindowTest {
  protected:
    void SetUp() override {
        CreateKeyPath("HKEY_CURRENT_USER\\Nav\\Left\\Deep\\Target");
        CreateKeyPath("HKEY_CURRENT_USER\\Nav\\Target");
        WriteText("HKEY_CURRENT_USER\\Nav\\Target", "here", "yes");
        CreateWindow();
    }
    void PressEnterInAddressBox(const std::string& text) {
        Child<QComboBox>(*frmMain_, "cmbbxAddress")->setEditText(QString::fromUtf8(text));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(Child<QComboBox>(*frmMain_, "cmbbxAddress")->lineEdit(), &press);
    }
    long HistoryCount(const std::string& path) {
        const std::vector<std::string> history = Browser().History();
        return std::count(history.begin(), history.end(), path);
    }
};

TEST_F(NavigationTest, AbbreviatedPathSelectsTheKeyAndKeepsTheTypedCase) {
    ASSERT_TRUE(Browser().GoToPath("hklm\\software"));
    EXPECT_EQ(Browser().KeyModel()->NodeText(Browser().SelectedNode()), "SOFTWARE");
    EXPECT_EQ(frmMain_->StatusText().toStdString(), "[HKEY_LOCAL_MACHINE\\software]");
    EXPECT_EQ(HistoryCount("HKEY_LOCAL_MACHINE\\software"), 1);
    EXPECT_EQ(Child<QComboBox>(*frmMain_, "cmbbxAddress")->currentText().toStdString(),
              "HKEY_LOCAL_MACHINE\\software");
    EXPECT_TRUE(frmGoTo_->LastNavigationOk());
    EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(NavigationTest, TrailingBackslashGoesToTheRoot) {
    ASSERT_TRUE(Browser().GoToPath("HKEY_CURRENT_USER\\"));
    EXPECT_EQ(SelectedPath(), "HKEY_CURRENT_USER");
    EXPECT_TRUE(Child<QTreeView>(*frmMain_, "trvwKeys")->isExpanded(Browser().SelectedNode()));
}

TEST_F(NavigationTest, TheRightParentsChildIsFoundWhenTheNameRecursDeeper) {
    ASSERT_TRUE(Browser().GoToPath("HKCU\\Nav\\Left\\Deep\\Target"));
    ASSERT_TRUE(Browser().GoToPath("hkcu\\nav\\target"));
    EXPECT_EQ(SelectedPath(), "HKEY_CURRENT_USER\\Nav\\Target");
    // The "(Default)" row and the value's.
    ASSERT_EQ(Browser().ValueRowCount(), 2);
    EXPECT_EQ(Browser().ValueRecord(1).valueName, "here");
}

TEST_F(NavigationTest, HistoryHoldsEachPathOnceWhateverItsCase) {
    const std::size_t start = Browser().History().size();
    ASSERT_TRUE(Browser().GoToPath("HKCU\\Nav"));
    ASSERT_TRUE(Browser().GoToPath("hkcu\\NAV"));
    ASSERT_TRUE(Browser().GoToPath("HKEY_CLASSES_ROOT"));
    EXPECT_EQ(Browser().History().size(), start + 1);
    EXPECT_EQ(HistoryCount("HKEY_CURRENT_USER\\Nav"), 1);
}

TEST_F(NavigationTest, FailedNavigationChangesNothingButTheFlag) {
    ASSERT_TRUE(Browser().GoToPath("HKCU\\Nav\\Target"));
    const std::vector<std::string> history = Browser().History();
    const std::pair<const char*, const char*> badPaths[] = {
        {"HKCU\\Nav\\Missing", "HKEY_CURRENT_USER\\Nav\\Missing"},
        {"HKCU\\Nav\\Left\\Deep\\Target\\Below", "HKEY_CURRENT_USER\\Nav\\Left\\Deep\\Target\\Below"},
        {"NOROOT\\Nav", "NOROOT\\Nav"},
        {"HKCU\\Nav\\\\Target", "HKEY_CURRENT_USER\\Nav\\\\Target"}};
    for (const auto& [bad, named] : badPaths) {
        dialogs_.ClearShown();
        EXPECT_FALSE(Browser().GoToPath(bad)) << bad;
        // The message names the key, so that a typing mistake shows.
        EXPECT_EQ(dialogs_.texts(),
                  std::vector<std::string>{"Your registry without Key:[" + std::string(named) + "]"});
        EXPECT_EQ(SelectedPath(), "HKEY_CURRENT_USER\\Nav\\Target") << bad;
        EXPECT_EQ(Browser().ValueRowCount(), 2) << bad;
        EXPECT_EQ(frmMain_->StatusText().toStdString(), "[HKEY_CURRENT_USER\\Nav\\Target]") << bad;
        EXPECT_EQ(Browser().History(), history) << bad;
        EXPECT_FALSE(frmGoTo_->LastNavigationOk()) << bad;
    }
}

TEST_F(NavigationTest, KeysCreatedAfterTheirParentWasReadNeedARefresh) {
    ASSERT_TRUE(Browser().GoToPath("HKCU\\Nav\\Target"));
    CreateKeyPath("HKEY_CURRENT_USER\\Nav\\Later");
    EXPECT_FALSE(Browser().GoToPath("HKCU\\Nav\\Later"));
    ASSERT_TRUE(Browser().GoToPath("HKCU\\Nav"));
    Browser().RefreshKey();
    EXPECT_TRUE(Browser().GoToPath("HKCU\\Nav\\Later"));
}

TEST_F(NavigationTest, EnterInTheAddressBoxGoesUnlessTheTextIsBlank) {
    PressEnterInAddressBox("hkcu\\nav");
    EXPECT_EQ(SelectedPath(), "HKEY_CURRENT_USER\\Nav");
    PressEnterInAddressBox(" \t ");
    EXPECT_TRUE(dialogs_.shown().empty());
    EXPECT_EQ(SelectedPath(), "HKEY_CURRENT_USER\\Nav");
}

TEST_F(NavigationTest, ListChoiceNavigatesUntilAKeyIsPressed) {
    QComboBox* box = Child<QComboBox>(*frmMain_, "cmbbxAddress");
    emit box->activated(2);
    EXPECT_EQ(SelectedPath(), "HKEY_LOCAL_MACHINE");

    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(box->lineEdit(), &down);
    emit box->activated(1);
    EXPECT_EQ(SelectedPath(), "HKEY_LOCAL_MACHINE");
}

TEST_F(NavigationTest, GoToLastRepeatsOnlyAfterASuccess) {
    bool dialogShown = false;
    auto cancelDialog = [&] {
        QTimer::singleShot(0, frmGoTo_.get(), [&] {
            dialogShown = frmGoTo_->isVisible();
            frmGoTo_->reject();
        });
    };
    EXPECT_FALSE(Browser().GoToPath("HKCU\\Nowhere"));
    cancelDialog();
    Child<QAction>(*frmMain_, "mnitmGoToLast")->trigger();
    EXPECT_TRUE(dialogShown);

    frmGoTo_->SetKeyText("HKEY_CURRENT_USER\\Nav\\Target");
    QTimer::singleShot(0, frmGoTo_.get(), [&] { frmGoTo_->accept(); });
    Child<QAction>(*frmMain_, "acGoTo")->trigger();
    EXPECT_EQ(SelectedPath(), "HKEY_CURRENT_USER\\Nav\\Target");
    EXPECT_TRUE(frmGoTo_->LastNavigationOk());

    ASSERT_TRUE(Browser().GoToPath("HKCU\\Nav"));
    dialogShown = false;
    cancelDialog();
    Child<QAction>(*frmMain_, "mnitmGoToLast")->trigger();
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(SelectedPath(), "HKEY_CURRENT_USER\\Nav\\Target");
    QApplication::processEvents();
}

TEST_F(NavigationTest, CurrentKeyNeedsASelectedKey) {
    Child<QAction>(*frmMain_, "acCurrentKey")->trigger();
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"None current key!"});
    ASSERT_TRUE(Browser().GoToPath("HKCU\\Nav"));
    QTimer::singleShot(0, frmCurrentKey_.get(), [&] { frmCurrentKey_->accept(); });
    Child<QAction>(*frmMain_, "acCurrentKey")->trigger();
    EXPECT_EQ(Child<QLineEdit>(*frmCurrentKey_, "edtLongName")->text().toStdString(),
              "[HKEY_CURRENT_USER\\Nav]");
}

} // namespace
} // namespace hw::test
