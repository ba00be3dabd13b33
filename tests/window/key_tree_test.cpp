// The main window's lazily filled key tree, the value list it fills and the refresh commands.
#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "platform/platform_facts.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

#include <fstream>

namespace hw::test {
namespace {

using ::testing::ElementsAre;

class KeyTreeTest : public MainWindowTest {
  protected:
    void SetUp() override {
        CreateKeyPath("HKEY_CURRENT_USER\\Test\\A\\Inner");
        CreateKeyPath("HKEY_CURRENT_USER\\Test\\C");
        CreateWindow();
    }
    QModelIndex Node(const std::string& path) { return Browser().FindNode(path); }
};

TEST_F(KeyTreeTest, RootsFollowThePlatform) {
    const platform::PlatformFacts saved = platform::GetPlatformFacts();
    auto rootsFor = [this](int family, int major) {
        platform::SetPlatformFactsForTesting({family, major, false});
        CreateWindow();
        return ChildTexts({});
    };
    const std::vector<std::string> five = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                           "HKEY_USERS", "HKEY_CURRENT_CONFIG"};
    std::vector<std::string> nine = five;
    nine.push_back("HKEY_DYN_DATA");
    std::vector<std::string> nt4 = five;
    nt4.push_back("HKEY_PERFORMANCE_DATA");
    EXPECT_EQ(rootsFor(platform::kPlatformNt, 5), five);
    EXPECT_EQ(rootsFor(platform::kPlatformWin9x, 4), nine);
    EXPECT_EQ(rootsFor(platform::kPlatformNt, 4), nt4);
    // The address history and the root menu list the same roots.
    EXPECT_EQ(Browser().History(), nt4);
    ASSERT_EQ(Child<QMenu>(*frmMain_, "pppmnRootKey")->actions().size(), 6);
    Child<QMenu>(*frmMain_, "pppmnRootKey")->actions().at(2)->trigger();
    EXPECT_EQ(Child<QComboBox>(*frmMain_, "cmbbxAddress")->currentText().toStdString(),
              "HKEY_LOCAL_MACHINE\\");
    platform::SetPlatformFactsForTesting(saved);
}

TEST_F(KeyTreeTest, SubkeysAreReadOnFirstExpansionOnly) {
    const window::KeyTreeModel* model = Browser().KeyModel();
    const QModelIndex user = model->index(1, 0);
    EXPECT_FALSE(model->IsLoaded(user));
    EXPECT_TRUE(model->hasChildren(user));
    EXPECT_EQ(model->rowCount(user), 0);

    const QModelIndex test = Node("HKEY_CURRENT_USER\\Test");
    ASSERT_TRUE(test.isValid());
    Browser().LoadSubKeys(test);
    EXPECT_THAT(ChildTexts(test), ElementsAre("A", "C"));
    EXPECT_TRUE(model->hasChildren(model->index(0, 0, test)));  // A holds Inner
    EXPECT_FALSE(model->hasChildren(model->index(1, 0, test))); // C is empty
    EXPECT_EQ(Browser().NodePath(model->index(0, 0, test)), "HKEY_CURRENT_USER\\Test\\A");

    // Keys added or removed behind the tree's back show only after a refresh.
    CreateKeyPath("HKEY_CURRENT_USER\\Test\\B");
    DeleteKeyAt("HKEY_CURRENT_USER\\Test\\C");
    Browser().LoadSubKeys(test);
    EXPECT_THAT(ChildTexts(test), ElementsAre("A", "C"));
    Child<QTreeView>(*frmMain_, "trvwKeys")->expand(test);
    Child<QTreeView>(*frmMain_, "trvwKeys")->setCurrentIndex(test);
    Browser().RefreshKey();
    const QModelIndex refreshed = Node("HKEY_CURRENT_USER\\Test");
    EXPECT_THAT(ChildTexts(refreshed), ElementsAre("A", "B"));
    EXPECT_TRUE(Child<QTreeView>(*frmMain_, "trvwKeys")->isExpanded(refreshed));
}

TEST_F(KeyTreeTest, AsteriskDoesNotExpandAWholeSubtree) {
    const QModelIndex test = Node("HKEY_CURRENT_USER\\Test");
    Child<QTreeView>(*frmMain_, "trvwKeys")->setCurrentIndex(test);
    QKeyEvent asterisk(QEvent::KeyPress, Qt::Key_Asterisk, Qt::KeypadModifier, "*");
    QApplication::sendEvent(Child<QTreeView>(*frmMain_, "trvwKeys"), &asterisk);
    EXPECT_FALSE(Browser().KeyModel()->IsLoaded(test));
}

TEST_F(KeyTreeTest, UnreadableKeyStaysUnloadedSoTheNextExpansionRetries) {
    const QModelIndex test = Node("HKEY_CURRENT_USER\\Test");
    Browser().LoadSubKeys(test);
    const QModelIndex c = Browser().KeyModel()->index(1, 0, test);
    DeleteKeyAt("HKEY_CURRENT_USER\\Test\\C");
    Browser().LoadSubKeys(c);
    EXPECT_FALSE(Browser().KeyModel()->IsLoaded(c));
    CreateKeyPath("HKEY_CURRENT_USER\\Test\\C\\Later");
    Browser().LoadSubKeys(c);
    EXPECT_THAT(ChildTexts(c), ElementsAre("Later"));
}

TEST_F(KeyTreeTest, SelectingAKeyFillsListStatusAndHistory) {
    WriteText("HKEY_CURRENT_USER\\Test", "Beta", "2");
    WriteText("HKEY_CURRENT_USER\\Test", "charlie", "3");
    WriteText("HKEY_CURRENT_USER\\Test", "alpha", "1");
    WriteText("HKEY_CURRENT_USER\\Test", "", "default");
    const QModelIndex test = Node("HKEY_CURRENT_USER\\Test");
    Child<QTreeView>(*frmMain_, "trvwKeys")->setCurrentIndex(test);
    Browser().KeySelected();

    // Sorted by caption in the locale's order, not by character codes.
    EXPECT_THAT(ValueCaptions(), ElementsAre("<Unknow Name>", "alpha", "Beta", "charlie"));
    EXPECT_EQ(frmMain_->StatusText().toStdString(), "[HKEY_CURRENT_USER\\Test]");
    EXPECT_EQ(Browser().History().back(), "HKEY_CURRENT_USER\\Test");
    EXPECT_EQ(Child<QComboBox>(*frmMain_, "cmbbxAddress")->currentText().toStdString(),
              "HKEY_CURRENT_USER\\Test");
    EXPECT_EQ(Browser().FindValueRow("hkey_current_user\\TEST", "CHARLIE"), 3);
    EXPECT_EQ(Browser().FindValueRow("HKEY_CURRENT_USER\\Test", "missing"), -1);
    EXPECT_EQ(Browser().FindValueRow("HKEY_CURRENT_USER\\Test\\A", "charlie"), -1);
    EXPECT_EQ(Browser().ValueRecord(3).DataText(), "3");

    // Each selection rebuilds the list from the registry.
    WriteText("HKEY_CURRENT_USER\\Test", "d", "4");
    Browser().KeySelected();
    EXPECT_EQ(Browser().ValueRowCount(), 5);
}

TEST_F(KeyTreeTest, RefreshAllLeavesOnlyTheRoots) {
    const QModelIndex test = Node("HKEY_CURRENT_USER\\Test");
    Child<QTreeView>(*frmMain_, "trvwKeys")->setCurrentIndex(test);
    Browser().KeySelected();
    WriteText("HKEY_CURRENT_USER\\Test", "v", "x");
    Browser().KeySelected();
    // The "(Default)" row and the value's.
    ASSERT_EQ(Browser().ValueRowCount(), 2);
    const std::size_t historySize = Browser().History().size();

    Child<QAction>(*frmMain_, "mnitmRefreshAll")->trigger();
    EXPECT_EQ(ChildTexts({}).size(), 5u);
    EXPECT_FALSE(Browser().SelectedNode().isValid());
    EXPECT_EQ(Browser().ValueRowCount(), 0);
    EXPECT_FALSE(Browser().KeyModel()->IsLoaded(Browser().KeyModel()->index(1, 0)));
    EXPECT_EQ(Browser().History().size(), historySize);
    // Refresh without a selection does nothing.
    Child<QAction>(*frmMain_, "acRefresh")->trigger();
    EXPECT_EQ(Browser().ValueRowCount(), 0);
}

TEST_F(KeyTreeTest, CreationNotesHeaderWindowsDirectoryAndFavorites) {
    EXPECT_EQ(frmMain_->RegFileHeader(), "Windows Registry Editor Version 5.00");
    EXPECT_EQ(frmMain_->WindowsDir(), registry_.dir().file("config") + "/hivewright");
    EXPECT_TRUE(frmMain_->Favorites().empty());

    std::ofstream(frmMain_->WindowsDir() + "/HIVEWRIGHT_FAVORITES.INI", std::ios::binary)
        << "Software=HKEY_CURRENT_USER\\Software\r\nGone=HKEY_CURRENT_USER\\Gone\r\n";
    CreateWindow();
    EXPECT_THAT(frmMain_->Favorites(),
                ElementsAre("Software=HKEY_CURRENT_USER\\Software", "Gone=HKEY_CURRENT_USER\\Gone"));
}

} // namespace
} // namespace hw::test
