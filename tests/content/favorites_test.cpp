// Favourites: the dialog's rules, the Favorites menu, going to a favourite, and pruning and writing the file.
#include "content/favorites_file.h"
#include "content/window/frm_favorites.h"
#include "platform/registry_store.h"
#include "support/qt/child.h"
#include "support/qt/when_modal.h"
#include "support/qt/window_fixture.h"

#include <gmock/gmock.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace hw::test {
namespace {

using ::testing::ElementsAre;

class FavoritesTest : public MainWindowTest {
  protected:
    void SetUp() override {
        CreateKeyPath("HKEY_CURRENT_USER\\Software\\Fav");
        CreateKeyPath("HKEY_CURRENT_USER\\Other");
    }
    std::string FileName() const { return content::FavoritesFilePath(frmMain_->WindowsDir()); }
    std::string FileBytes() const {
        std::ifstream file(FileName(), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }
    void WriteFile(const std::string& bytes) {
        std::filesystem::create_directories(registry_.dir().file("config") + "/hivewright");
        std::ofstream(registry_.dir().file("config") + "/hivewright/HIVEWRIGHT_FAVORITES.INI",
                      std::ios::binary)
            << bytes;
    }
    // The favourite entries after the menu's fixed entries and separator.
    std::vector<std::string> MenuEntries() const {
        std::vector<std::string> entries;
        for (const QAction* action : Child<QMenu>(*frmMain_, "mnitmFavorites")->actions())
            if (action->data().toInt() == 9999) entries.push_back(action->text().toStdString());
        return entries;
    }
    // Runs the Add command, typing name (when given) and pressing Add in the dialog.
    void AddSelectedKey(const std::string& name = {}) {
        WhenModal([this, name](QWidget*) {
            if (!name.empty())
                test::Child<QLineEdit>(*frmFavorites_, "edtName")->setText(QString::fromStdString(name));
            test::Child<QPushButton>(*frmFavorites_, "btnAdd")->click();
        });
        Child<QAction>(*frmMain_, "acAddToFavorites")->trigger();
    }
};

void Type(QWidget* widget, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

TEST_F(FavoritesTest, AddingProposesTheKeyNameAndASecondAddOfTheSameNameReplacesThePath) {
    CreateWindow();
    EXPECT_TRUE(MenuEntries().empty());
    ASSERT_TRUE(Browser().GoToPath("HKCU\\Software"));
    std::string proposed;
    WhenModal([&](QWidget*) {
        proposed = test::Child<QLineEdit>(*frmFavorites_, "edtName")->text().toStdString();
        test::Child<QPushButton>(*frmFavorites_, "btnAdd")->click();
    });
    Child<QAction>(*frmMain_, "acAddToFavorites")->trigger();
    EXPECT_EQ(proposed, "Software");
    EXPECT_THAT(frmMain_->Favorites(), ElementsAre("Software=HKEY_CURRENT_USER\\Software"));
    EXPECT_THAT(MenuEntries(), ElementsAre("Software"));

    ASSERT_TRUE(Browser().GoToPath("HKCU\\Other"));
    dialogs_.QueueAnswer(true);
    AddSelectedKey("software");
    EXPECT_THAT(dialogs_.texts(),
                ElementsAre("There have a favorites setting with name:[software],Sure you to "
                            "replace it?"));
    EXPECT_THAT(frmMain_->Favorites(), ElementsAre("Software=HKEY_CURRENT_USER\\Other"));
    EXPECT_THAT(MenuEntries(), ElementsAre("Software"));

    // A name with an ampersand shows as typed and still leads to its key.
    AddSelectedKey("R&D");
    EXPECT_THAT(MenuEntries(), ElementsAre("Software", "R&&D"));
    ASSERT_TRUE(Browser().GoToPath("HKCU\\Software\\Fav"));
    Child<QMenu>(*frmMain_, "mnitmFavorites")->actions().back()->trigger();
    EXPECT_EQ(SelectedPath(), "HKEY_CURRENT_USER\\Other");
}

TEST_F(FavoritesTest, DialogRefusesSeparatorsAndKeepsItsListInStep) {
    CreateWindow();
    content::TfrmFavorites& dialog = *frmFavorites_;
    content::FavoritesList list({"beta=HKEY_CURRENT_USER\\Other", "Alpha=HKEY_CURRENT_USER\\Software"});
    dialog.PrepareAdd(list, "HKEY_CURRENT_USER\\Software\\Fav", "Fav");
    EXPECT_FALSE(test::Child<QWidget>(dialog, "pnlFavoritesList")->isVisibleTo(&dialog));
    EXPECT_FALSE(test::Child<QWidget>(dialog, "pnlBottom")->isVisibleTo(&dialog));

    test::Child<QLineEdit>(dialog, "edtName")->setText("");
    for (const auto& [key, text] :
         {std::pair{Qt::Key_Colon, ":"}, {Qt::Key_Equal, "="}, {Qt::Key_Backslash, "\\"}, {Qt::Key_A, "a"}})
        Type(test::Child<QLineEdit>(dialog, "edtName"), key, text);
    EXPECT_EQ(test::Child<QLineEdit>(dialog, "edtName")->text().toStdString(), "a");

    // A pasted equals sign is refused with a message; the dialog stays.
    test::Child<QLineEdit>(dialog, "edtName")->setText("a=b");
    test::Child<QPushButton>(dialog, "btnAdd")->click();
    EXPECT_THAT(dialogs_.texts(), ElementsAre("There is a invalid chararcter \"=\" in it,please check it!"));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    // No to the replace question changes nothing.
    test::Child<QLineEdit>(dialog, "edtName")->setText("ALPHA");
    test::Child<QPushButton>(dialog, "btnAdd")->click();
    EXPECT_EQ(list.Lines().size(), 2u);
    EXPECT_EQ(*list.PathOfName("alpha"), "HKEY_CURRENT_USER\\Software");

    test::Child<QPushButton>(dialog, "btnFavoritesList")->click();
    EXPECT_TRUE(test::Child<QWidget>(dialog, "pnlFavoritesList")->isVisibleTo(&dialog));
    EXPECT_EQ(test::Child<QPushButton>(dialog, "btnFavoritesList")->text().toStdString(),
              "&Hide Favorites List");
    ASSERT_EQ(test::Child<QListWidget>(dialog, "lstbxFavorites")->count(), 2);
    EXPECT_EQ(test::Child<QListWidget>(dialog, "lstbxFavorites")->item(0)->text().toStdString(), "Alpha");
    test::Child<QPushButton>(dialog, "btnFavoritesList")->click();
    EXPECT_EQ(test::Child<QPushButton>(dialog, "btnFavoritesList")->text().toStdString(),
              "&Show Favorites List");

    dialog.PrepareManage(list);
    EXPECT_FALSE(test::Child<QWidget>(dialog, "pnlHead")->isVisibleTo(&dialog));
    EXPECT_FALSE(test::Child<QAction>(dialog, "pppmnitmDelete")->isEnabled());
    test::Child<QListWidget>(dialog, "lstbxFavorites")->item(0)->setSelected(true);
    ASSERT_TRUE(test::Child<QAction>(dialog, "pppmnitmDelete")->isEnabled());
    test::Child<QAction>(dialog, "pppmnitmDelete")->trigger();
    EXPECT_THAT(list.Lines(), ElementsAre("beta=HKEY_CURRENT_USER\\Other"));
    EXPECT_THAT(dialog.DeletedNames(), ElementsAre("Alpha"));
    EXPECT_EQ(test::Child<QListWidget>(dialog, "lstbxFavorites")->count(), 1);
}

TEST_F(FavoritesTest, ManageDeletesFromMenuListAndFile) {
    WriteFile("One=HKEY_CURRENT_USER\\Software\r\nTwo=HKEY_CURRENT_USER\\Other\r\n");
    CreateWindow();
    ASSERT_THAT(MenuEntries(), ElementsAre("One", "Two"));
    WhenModal([this](QWidget*) {
        test::Child<QListWidget>(*frmFavorites_, "lstbxFavorites")->item(0)->setSelected(true);
        test::Child<QAction>(*frmFavorites_, "pppmnitmDelete")->trigger();
        test::Child<QPushButton>(*frmFavorites_, "btnOk")->click();
    });
    Child<QAction>(*frmMain_, "mnitmFavoritesManage")->trigger();
    EXPECT_THAT(MenuEntries(), ElementsAre("Two"));
    EXPECT_THAT(frmMain_->Favorites(), ElementsAre("Two=HKEY_CURRENT_USER\\Other"));
    EXPECT_TRUE(frmMain_->close());
    EXPECT_EQ(FileBytes(), "Two=HKEY_CURRENT_USER\\Other\r\n");
}

TEST_F(FavoritesTest, CloseDropsGoneKeysOnlyWhenTheStoreAnswersAndRestartShowsTheRest) {
    const std::string lines = "Kept=HKEY_CURRENT_USER\\Software\\Fav\r\nGone=HKEY_CURRENT_USER\\Gone\r\n"
                              "Root=HKEY_USERS\r\nBad=NOT_A_ROOT\\x\r\n";
    WriteFile(lines);
    CreateWindow();
    // A gone key is reported by navigation until the next close drops it.
    Child<QMenu>(*frmMain_, "mnitmFavorites")->actions().at(4)->trigger();
    EXPECT_EQ(dialogs_.shown().size(), 1u);

    // A database that cannot be read prunes nothing.
    std::ofstream(registry_.dir().file("plain"), std::ios::binary) << "not a folder";
    setenv("HIVEWRIGHT_REGISTRY", (registry_.dir().file("plain") + "/registry.db").c_str(), 1);
    platform::UseRegistry(nullptr);
    EXPECT_TRUE(frmMain_->close());
    platform::UseRegistry(platform::OpenSqliteStore(registry_.databasePath()));
    unsetenv("HIVEWRIGHT_REGISTRY");
    EXPECT_EQ(FileBytes(), lines);

    CreateWindow();
    EXPECT_TRUE(frmMain_->close());
    EXPECT_EQ(FileBytes(), "Kept=HKEY_CURRENT_USER\\Software\\Fav\r\nRoot=HKEY_USERS\r\n");
    CreateWindow();
    EXPECT_THAT(MenuEntries(), ElementsAre("Kept", "Root"));
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(registry_.dir().file("config") + "/hivewright"),
                      std::filesystem::directory_iterator()),
        1)
        << "only the favourites file, no temporary file left";
}

TEST(FavoritesFileTest, FailedWriteReportsAndLeavesNoFile) {
    TempDir dir;
    std::ofstream(dir.file("plain"), std::ios::binary) << "x";
    EXPECT_FALSE(content::WriteFavoritesFile(dir.file("plain") + "/HIVEWRIGHT_FAVORITES.INI", {"a=b"}));
    EXPECT_TRUE(content::WriteFavoritesFile(dir.file("new") + "/HIVEWRIGHT_FAVORITES.INI", {}));
    EXPECT_EQ(std::filesystem::file_size(dir.file("new") + "/HIVEWRIGHT_FAVORITES.INI"), 0u);
}

} // namespace
} // namespace hw::test
