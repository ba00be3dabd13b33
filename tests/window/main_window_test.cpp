// The main window's commands and menus, its close request and its texts from the language file.
#include "app/window/value_list_model.h"
#include "i18n/language.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"
#include "ui/command_set.h"
#include "ui/ui_text.h"

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
        Captions(Child<QMenu>(*frmMain_, "mnitmRegistry")),
        (std::vector<std::string>{"&Export Current Key", "Export &Whole Registry", "-",
                                  "&Import Registry File", "Edit &Registry File", "-", "&Print Key Content",
                                  "-", "Open &Wine Prefix...", "Open &Own Registry", "-", "&Load Hive...",
                                  "&Unload Hive", "Open Windows &Installation...", "-", "E&xit"}));
    EXPECT_EQ(Captions(Child<QMenu>(*frmMain_, "mnitmControl")),
              (std::vector<std::string>{"&Refresh", "Refresh &All", "-", "&Go To", "Go To &Last", "-",
                                        "&Back", "&Forward"}));
    EXPECT_EQ(Captions(Child<QMenu>(*frmMain_, "mnitmNew")).size(), 12u);
    EXPECT_EQ(Captions(Child<QMenu>(*frmMain_, "pppmnValue")).front(), "&Edit");
    EXPECT_EQ(Captions(Child<QMenu>(*frmMain_, "pppmnKey")).back(), "&Refresh");
    EXPECT_EQ(Child<QAction>(*frmMain_, "acValueNewBigEndianDwordValue")->text().toStdString(),
              "&Big Endian Dword Value");
    EXPECT_EQ(Child<QAction>(*frmMain_, "acValueNewBigEndianDwordValue")->data().toInt(), 5);
    EXPECT_EQ(Child<QAction>(*frmMain_, "acRefresh")->shortcut(), QKeySequence("F5"));
    EXPECT_EQ(Child<QAction>(*frmMain_, "mnitmRefreshAll")->shortcut(), QKeySequence("Ctrl+Alt+R"));
    EXPECT_EQ(Child<QAction>(*frmMain_, "mnitmGoToLast")->shortcut(), QKeySequence("F4"));
    EXPECT_FALSE(Child<QAction>(*frmMain_, "mnitmContent")->isVisible());
    EXPECT_EQ(Child<QAction>(*frmMain_, "acFind")->toolTip().toStdString(),
              "Find string or dword from registry");
}

// Commands made at run time (languages, favourites, pages) have no object name and keep their names;
// Qt's own helpers start with "qt_".
bool IsWindowCommand(const QObject& command) {
    return !command.objectName().isEmpty() && !command.objectName().startsWith("qt_");
}

// Every named command's caption and hint and every named menu's title, in creation order.
std::vector<std::string> ShownTexts(const QObject& window) {
    std::vector<std::string> texts;
    for (const QAction* action : window.findChildren<QAction*>())
        if (IsWindowCommand(*action))
            texts.push_back(
                (action->objectName() + "=" + action->text() + "|" + action->toolTip()).toStdString());
    for (const QMenu* menu : window.findChildren<QMenu*>())
        if (IsWindowCommand(*menu)) texts.push_back((menu->objectName() + "=" + menu->title()).toStdString());
    return texts;
}

TEST_F(MainWindowCommandsTest, CaptionsAreTheTableTextsBeforeAndAfterChoosingEnglish) {
    UseLanguageFile("[Hivewright Language Setting]\r\nEnglish=English\r\n[English]\r\n");
    CreateWindow();
    for (const QAction* action : frmMain_->findChildren<QAction*>()) {
        if (!IsWindowCommand(*action)) continue;
        const std::optional<i18n::Text> caption = ui::CaptionTextOf(*action);
        ASSERT_TRUE(caption) << action->objectName().toStdString();
        EXPECT_EQ(action->text(), ui::UiText(*caption)) << action->objectName().toStdString();
    }
    for (const QMenu* menu : frmMain_->findChildren<QMenu*>()) {
        if (const std::optional<i18n::Text> title = ui::CaptionTextOf(*menu))
            EXPECT_EQ(menu->title(), ui::UiText(*title)) << menu->objectName().toStdString();
        else
            EXPECT_TRUE(menu->title().isEmpty()) << menu->objectName().toStdString();
    }
    EXPECT_EQ(Child<QAction>(*frmMain_, "acValueCopy")->text().toStdString(), "C&opy Values");
    EXPECT_EQ(Child<QAction>(*frmMain_, "acValuePaste")->text().toStdString(), "P&aste Values");
    EXPECT_EQ(Child<QAction>(*frmMain_, "acKeyContent")->text().toStdString(), "Key &Content");
    EXPECT_EQ(Child<QAction>(*frmMain_, "acRegKeyContentEditor")->text().toStdString(),
              "&Reg key content Editor");
    EXPECT_EQ(Child<QAction>(*frmMain_, "acEmail")->toolTip().toStdString(), "Email to us");

    const std::vector<std::string> before = ShownTexts(*frmMain_);
    for (QAction* item : Child<QMenu>(*frmMain_, "mnitmLanguage")->actions())
        if (item->text() == "English") item->trigger();
    EXPECT_EQ(i18n::CurrentLanguage(), "English");
    EXPECT_EQ(ShownTexts(*frmMain_), before);
}

TEST_F(MainWindowCommandsTest, AddressTipsAndResultMenuFollowTheLanguage) {
    UseLanguageFile("[Hivewright Language Setting]\r\nTest=Test\r\n[Test]\r\n360=Wurzel\r\n361=Adresse\r\n"
                    "362=Los\r\n363=B\r\n364=K\r\n365=Z\r\n366=U\r\n367=L\r\n368=A\r\n");
    CreateWindow();
    const std::vector<std::pair<QString, std::string>> english = {
        {Child<QWidget>(*frmMain_, "pnlRoot")->toolTip(), "Input a rootkey's name"},
        {Child<QWidget>(*frmMain_, "cmbbxAddress")->toolTip(),
         "Input key's address here,then you could jump to it quickly"},
        {Child<QWidget>(*frmMain_, "pnlGo")->toolTip(), "Goto key special in address combobox"},
    };
    for (const auto& [shown, wording] : english)
        EXPECT_EQ(shown.toStdString(), wording);

    for (QAction* item : Child<QMenu>(*frmMain_, "mnitmLanguage")->actions())
        if (item->text() == "Test") item->trigger();
    frmFind_->ApplyLanguage();
    const std::vector<std::pair<QString, const char*>> translated = {
        {Child<QWidget>(*frmMain_, "pnlRoot")->toolTip(), "Wurzel"},
        {Child<QWidget>(*frmMain_, "cmbbxAddress")->toolTip(), "Adresse"},
        {Child<QWidget>(*frmMain_, "pnlGo")->toolTip(), "Los"},
        {Child<QAction>(*frmFind_, "pppmnitmEdit")->text(), "B"},
        {Child<QAction>(*frmFind_, "pppmnitmCopy")->text(), "K"},
        {Child<QAction>(*frmFind_, "pppmnitmGoToResult")->text(), "Z"},
        {Child<QAction>(*frmFind_, "pppmnitmRename")->text(), "U"},
        {Child<QAction>(*frmFind_, "pppmnitmDelete")->text(), "L"},
        {Child<QAction>(*frmFind_, "pppmnitmSelectAll")->text(), "A"},
    };
    for (const auto& [shown, wording] : translated)
        EXPECT_EQ(shown.toStdString(), wording);
}

TEST_F(MainWindowCommandsTest, KeyCommandsFollowTheSelectionAndNoCommandStaysDisabled) {
    CreateWindow();
    UpdateCommands();
    EXPECT_FALSE(Child<QAction>(*frmMain_, "acRefresh")->isEnabled());
    EXPECT_FALSE(Child<QAction>(*frmMain_, "acCurrentKey")->isEnabled());

    ASSERT_TRUE(Browser().GoToPath("HKCU\\Cmd"));
    UpdateCommands();
    EXPECT_TRUE(Child<QAction>(*frmMain_, "acRefresh")->isEnabled());
    EXPECT_TRUE(Child<QAction>(*frmMain_, "acCurrentKey")->isEnabled());
    for (QAction* action : Child<QMenu>(*frmMain_, "mnitmRegistry")->actions())
        EXPECT_TRUE(action->isSeparator() || action->isEnabled()) << action->objectName().toStdString();
    EXPECT_TRUE(Child<QAction>(*frmMain_, "acGoTo")->isEnabled());
    EXPECT_TRUE(Child<QAction>(*frmMain_, "acValueSelectAll")->isEnabled());
}

TEST_F(MainWindowCommandsTest, SelectAllSelectsEveryValue) {
    WriteText("HKEY_CURRENT_USER\\Cmd", "one", "1");
    WriteText("HKEY_CURRENT_USER\\Cmd", "two", "2");
    CreateWindow();
    ASSERT_TRUE(Browser().GoToPath("HKCU\\Cmd"));
    Child<QAction>(*frmMain_, "acValueSelectAll")->trigger();
    // The "(Default)" row too; the value commands act on the two values.
    EXPECT_EQ(Child<QTreeView>(*frmMain_, "lstvwValues")->selectionModel()->selectedRows().size(), 3);
    EXPECT_EQ(Browser().SelectedValueRows(), (std::vector<int>{1, 2}));
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
    const QList<QAction*> items = Child<QMenu>(*frmMain_, "mnitmLanguage")->actions();
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items[4]->text().toStdString(), "Deutsch");
    EXPECT_EQ(items[5]->text().toStdString(), "Pirate");

    // The first show applies the default language.
    frmMain_->show();
    EXPECT_EQ(i18n::CurrentLanguage(), "Deutsch");
    EXPECT_EQ(Child<QAction>(*frmMain_, "acRefresh")->text().toStdString(), "&Aktualisieren");
    EXPECT_EQ(Child<QAction>(*frmMain_, "acRefresh")->toolTip().toStdString(), "Neu laden");
    EXPECT_EQ(Child<QMenu>(*frmMain_, "mnitmNew")->title().toStdString(), "&Neu");
    EXPECT_EQ(Child<QMenu>(*frmMain_, "pppmnitmKeyNew")->title().toStdString(), "&Neu");
    EXPECT_EQ(Child<QLabel>(*frmMain_, "pnlAddress")->text().toStdString(), "Adresse:");
    EXPECT_EQ(Browser().ValueModel()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Wertname");
    // Texts the language leaves alone take their table wording.
    EXPECT_EQ(Child<QAction>(*frmMain_, "acKeyContent")->text().toStdString(), "Key &Content");

    items[5]->trigger();
    EXPECT_EQ(Child<QLabel>(*frmMain_, "pnlAddress")->text().toStdString(), "Where be:");
    EXPECT_EQ(Child<QAction>(*frmMain_, "acRefresh")->text().toStdString(), "&Refresh");
    Child<QAction>(*frmMain_, "mnitmLanguageDefault")->trigger();
    EXPECT_EQ(Child<QLabel>(*frmMain_, "pnlAddress")->text().toStdString(), "Adresse:");

    items[5]->trigger();
    Child<QAction>(*frmMain_, "mnitmSetAsDefaultLanguage")->trigger();
    EXPECT_EQ(i18n::StartLanguageSection(), "Arr");
}

} // namespace
} // namespace hw::test
