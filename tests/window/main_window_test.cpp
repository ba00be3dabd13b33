// The main window's commands and menus, its close request and its texts from the language file.
#include "app/window/value_list_model.h"
#include "i18n/language.h"
#include "support/qt/window_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

#include <fstream>

namespace hw::test {
namespace {

class MainWindowCommandsTest : public MainWindowTest {
  protected:
    void SetUp() override { CreateKeyPath("HKEY_CURRENT_USER\\Cmd\\Sub"); }
    void TearDown() override {
        i18n::ApplyLanguage("");
        i18n::SetLanguageFilePath("");
    }
    void UseLanguageFile(const std::string& text) {
        const std::string path = registry_.dir().file("LANGUAGE.INI");
        std::ofstream(path, std::ios::binary) << text;
        i18n::SetLanguageFilePath(path);
    }
};

std::vector<std::string> Captions(const QMenu* menu) {
    std::vector<std::string> captions;
    for (const QAction* action : menu->actions())
        captions.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    return captions;
}

TEST_F(MainWindowCommandsTest, MenusFollowTheCommandTable) {
    CreateWindow();
    EXPECT_EQ(
        Captions(frmMain_->mnitmRegistry),
        (std::vector<std::string>{"&Export Current Key", "Export &Whole Registry", "-",
                                  "&Import Registry File", "Edit &Registry File", "-", "&Print Key Content",
                                  "-", "Open &Wine Prefix...", "Open &Own Registry", "-", "E&xit"}));
    EXPECT_EQ(Captions(frmMain_->mnitmControl),
              (std::vector<std::string>{"&Refresh", "Refresh &All", "-", "&Go To", "Go To &Last"}));
    EXPECT_EQ(Captions(frmMain_->mnitmNew).size(), 12u);
    EXPECT_EQ(Captions(frmMain_->pppmnValue).front(), "&Edit");
    EXPECT_EQ(Captions(frmMain_->pppmnKey).back(), "&Refresh");
    EXPECT_EQ(frmMain_->acValueNew.at(4)->text().toStdString(), "Big &Endian Dword Value");
    EXPECT_EQ(frmMain_->acValueNew.at(4)->data().toInt(), 5);
    EXPECT_EQ(frmMain_->acRefresh->shortcut(), QKeySequence("F5"));
    EXPECT_EQ(frmMain_->mnitmRefreshAll->shortcut(), QKeySequence("Ctrl+Alt+R"));
    EXPECT_EQ(frmMain_->mnitmGoToLast->shortcut(), QKeySequence("F4"));
    EXPECT_FALSE(frmMain_->mnitmContent->isVisible());
    EXPECT_EQ(frmMain_->acFind->toolTip().toStdString(), "Find string or dword from registry");
}

TEST_F(MainWindowCommandsTest, KeyCommandsFollowTheSelectionAndLaterCommandsStayDisabled) {
    CreateWindow();
    frmMain_->UpdateKeyCommands();
    EXPECT_FALSE(frmMain_->acRefresh->isEnabled());
    EXPECT_FALSE(frmMain_->acCurrentKey->isEnabled());

    ASSERT_TRUE(frmMain_->GoToPath("HKCU\\Cmd"));
    frmMain_->UpdateKeyCommands();
    frmMain_->UpdateValueCommands();
    EXPECT_TRUE(frmMain_->acRefresh->isEnabled());
    EXPECT_TRUE(frmMain_->acCurrentKey->isEnabled());
    for (QAction* later : {frmMain_->mnitmPrintKeyContent})
        EXPECT_FALSE(later->isEnabled()) << later->objectName().toStdString();
    EXPECT_TRUE(frmMain_->acGoTo->isEnabled());
    EXPECT_TRUE(frmMain_->acValueSelectAll->isEnabled());
}

TEST_F(MainWindowCommandsTest, SelectAllSelectsEveryValue) {
    WriteText("HKEY_CURRENT_USER\\Cmd", "one", "1");
    WriteText("HKEY_CURRENT_USER\\Cmd", "two", "2");
    CreateWindow();
    ASSERT_TRUE(frmMain_->GoToPath("HKCU\\Cmd"));
    frmMain_->acValueSelectAll->trigger();
    EXPECT_EQ(frmMain_->lstvwValues->selectionModel()->selectedRows().size(), 2);
}

TEST_F(MainWindowCommandsTest, KeepOpenFlagRefusesTheCloseAndKeepsTheWindowOnTop) {
    CreateWindow();
    frmMain_->show();
    frmAbout_->SetKeepOpen(true);
    EXPECT_FALSE(frmMain_->close());
    EXPECT_TRUE(frmMain_->isVisible());
    EXPECT_TRUE(frmMain_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    frmAbout_->SetKeepOpen(false);
    bool closed = false;
    QObject::connect(frmMain_.get(), &window::TfrmMain::closed, [&closed] { closed = true; });
    EXPECT_TRUE(frmMain_->close());
    EXPECT_TRUE(closed);
    EXPECT_FALSE(frmMain_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(MainWindowCommandsTest, LanguageMenuAppliesTextsToTheMainWindow) {
    UseLanguageFile(
        "[Hivewright Language Setting]\r\ndefault=Deutsch\r\nDeutsch=Deutsch\r\nPirate=Arr\r\n"
        "[Deutsch]\r\n80=&Aktualisieren\r\n85=&Neu\r\n131=Adresse:\r\n134=Wertname\r\n62=Neu laden\r\n"
        "[Arr]\r\n131=Where be:\r\n");
    CreateWindow();
    const QList<QAction*> items = frmMain_->mnitmLanguage->actions();
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items[4]->text().toStdString(), "Deutsch");
    EXPECT_EQ(items[5]->text().toStdString(), "Pirate");

    // The first show applies the default language.
    frmMain_->show();
    EXPECT_EQ(i18n::CurrentLanguage(), "Deutsch");
    EXPECT_EQ(frmMain_->acRefresh->text().toStdString(), "&Aktualisieren");
    EXPECT_EQ(frmMain_->acRefresh->toolTip().toStdString(), "Neu laden");
    EXPECT_EQ(frmMain_->mnitmNew->title().toStdString(), "&Neu");
    EXPECT_EQ(frmMain_->pppmnitmKeyNew->title().toStdString(), "&Neu");
    EXPECT_EQ(frmMain_->pnlAddress->text().toStdString(), "Adresse:");
    EXPECT_EQ(frmMain_->ValueModel()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Wertname");
    // Texts the language leaves alone take their table wording.
    EXPECT_EQ(frmMain_->acKeyContent->text().toStdString(), "Key &Content");

    items[5]->trigger();
    EXPECT_EQ(frmMain_->pnlAddress->text().toStdString(), "Where be:");
    EXPECT_EQ(frmMain_->acRefresh->text().toStdString(), "&Refresh");
    frmMain_->mnitmLanguageDefault->trigger();
    EXPECT_EQ(frmMain_->pnlAddress->text().toStdString(), "Adresse:");

    items[5]->trigger();
    frmMain_->mnitmSetAsDefaultLanguage->trigger();
    EXPECT_EQ(i18n::StartLanguageSection(), "Arr");
}

} // namespace
} // namespace hw::test
