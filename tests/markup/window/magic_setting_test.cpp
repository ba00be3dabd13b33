// The Magic Setting menu and the OPAL Explorer command of the main window, and the pages that ship with
// the program rendered and saved against a real store.
#include "markup/page/opal_page.h"
#include "markup/window/opal_explorer.h"
#include "support/qt/child.h"

#include "core/value_text.h"
#include "support/qt/window_fixture.h"
#include "util/file_io.h"
#include "util/program_dir.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

namespace hw::window {
namespace {

std::string BinaryDir() {
    const char* dir = std::getenv("HIVEWRIGHT_TEST_BINARY_DIR");
    return dir && *dir ? std::string(dir) : util::ProgramDir() + "/../..";
}

class MagicSettingTest : public test::MainWindowTest {
  protected:
    MagicSettingTest() { CreateWindow(); }

    QStringList Captions() const {
        QStringList captions;
        for (QAction* item : test::Child<QMenu>(*frmMain_, "mnitmMagicSetting")->actions())
            captions.push_back(item->text());
        return captions;
    }
    QAction* Item(const QString& caption) const {
        for (QAction* item : test::Child<QMenu>(*frmMain_, "mnitmMagicSetting")->actions())
            if (item->text() == caption) return item;
        return nullptr;
    }
    // Triggers the item and reports the file name of the Explorer it opened, which is then closed.
    std::string FileOpenedBy(QAction* item) {
        std::string opened = "(no explorer)";
        QTimer::singleShot(0, [&opened] {
            auto* explorer = qobject_cast<markup::TOPALExplorer*>(QApplication::activeModalWidget());
            if (!explorer) return;
            opened = explorer->FileName();
            explorer->close();
        });
        item->trigger();
        return opened;
    }

    test::TempDir pages_;
};

TEST_F(MagicSettingTest, TheMenuListsThePagesAndEachItemOpensItsOwnFile) {
    for (const char* name : {"Tweaks.opal", "Setup.opal", "readme.txt", "My.Page.opal"})
        util::WriteFileBytes(pages_.file(name), "<opal><head><title>t</title></head><body></body></opal>");
    frmMain_->BuildMagicSettingMenu(pages_.path().string());
    EXPECT_EQ(Captions(), (QStringList{"My", "Setup", "Tweaks"}));
    QAction* my = Item("My");
    ASSERT_TRUE(my);
    EXPECT_EQ(my->data().toInt(), 9999);
    EXPECT_EQ(FileOpenedBy(my), pages_.file("My.Page.opal"));

    frmMain_->BuildMagicSettingMenu(pages_.file("none"));
    ASSERT_EQ(test::Child<QMenu>(*frmMain_, "mnitmMagicSetting")->actions().size(), 1);
    EXPECT_FALSE(test::Child<QMenu>(*frmMain_, "mnitmMagicSetting")->actions()[0]->isEnabled());

    EXPECT_TRUE(test::Child<QAction>(*frmMain_, "acOPALExplorer")->isEnabled());
    EXPECT_EQ(FileOpenedBy(test::Child<QAction>(*frmMain_, "acOPALExplorer")), "");
}

struct ShippedPage {
    const char* file;
    std::size_t inputs;
};

TEST_F(MagicSettingTest, TheShippedPagesAreListedRenderAndChangeTheStore) {
    frmMain_->BuildMagicSettingMenu(BinaryDir());
    for (const char* caption : {"Desktop and mouse", "Folder view", "Regional formats"})
        EXPECT_TRUE(Item(caption)) << caption;

    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(BinaryDir());
    std::map<std::string, markup::TOPALPage*> pages;
    markup::TOPALExplorer explorer;
    for (const char* name : {"Folder view.opal", "Desktop and mouse.opal", "Regional formats.opal"}) {
        explorer.LoadFile(BinaryDir() + "/" + name);
        const markup::TOPALPage& page = *explorer.findChild<markup::TOPALPage*>("scrllbxView");
        ASSERT_FALSE(page.Inputs().empty()) << name;
        std::set<markup::TOPALElementKind> kinds;
        for (const markup::TOPALElement* element = page.Document().Body.First; element;
             element = markup::NextInDocumentOrder(*element)) {
            EXPECT_TRUE(element->Control) << name << ": " << element->Value;
            kinds.insert(element->Kind);
        }
        EXPECT_EQ(kinds.size(), 5u) << name;
        const auto report = explorer.findChild<markup::TOPALPage*>("scrllbxView")->WriteSettings();
        EXPECT_TRUE(report.notWritten.empty() && report.notANumber.empty()) << name;
    }
    std::filesystem::current_path(previous);

    // The last page loaded: pick the U.S. measurement and save through the menu command.
    const std::string international = "HKEY_CURRENT_USER\\Control Panel\\International";
    EXPECT_EQ(core::ReadValueTextOfPath(international, "iMeasure"), "");
    for (const markup::OPALInput& input : explorer.findChild<markup::TOPALPage*>("scrllbxView")->Inputs())
        if (input.radios) input.radios->button(1)->setChecked(true);
    explorer.findChild<QAction*>("mnitmSaveSetting")->trigger();
    EXPECT_EQ(core::ReadValueTextOfPath(international, "iMeasure"), "1");
}

} // namespace
} // namespace hw::window
