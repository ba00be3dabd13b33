// Key Content and Add to Favorites on a root key, and on a key with a subkey the store will not show.
#include "content/favorites_list.h"
#include "content/window/frm_favorites.h"
#include "content/window/frm_key_content.h"
#include "support/qt/child.h"
#include "support/qt/when_modal.h"
#include "support/qt/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace hw::test {
namespace {

class RootKeyCommandsTest : public MainWindowTest {
  protected:
    RootKeyCommandsTest() { CreateWindow(); }

    // The key content editor's text after Key Content on the key, and the boxes shown on the way.
    std::string KeyContentOf(const std::string& path) {
        EXPECT_TRUE(Browser().GoToPath(path));
        UpdateCommands();
        EXPECT_TRUE(Child<QAction>(*frmMain_, "acKeyContent")->isEnabled());
        std::string text = "(not shown)";
        // Bound to the editor: a timer left over when the editor does not show dies with it.
        QTimer::singleShot(0, frmKeyContent_.get(), [&] {
            if (!frmKeyContent_->isVisible()) return;
            text = frmKeyContent_->Text().toStdString();
            frmKeyContent_->close();
        });
        Child<QAction>(*frmMain_, "acKeyContent")->trigger();
        QApplication::processEvents();
        return text;
    }
};

TEST_F(RootKeyCommandsTest, KeyContentShowsARootKey) {
    WriteText("HKEY_CURRENT_USER\\Shown", "Name", "Value");
    const std::string text = KeyContentOf("HKEY_CURRENT_USER");
    EXPECT_TRUE(text.starts_with("[HKEY_CURRENT_USER]")) << text.substr(0, 200);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Shown]\n\"Name\"=\"Value\""), std::string::npos);
}

TEST_F(RootKeyCommandsTest, KeysTheStoreWillNotShowAreNamedAndTheRestIsShown) {
    const std::string text = KeyContentOf("HKEY_LOCAL_MACHINE");
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System]"), std::string::npos);
    EXPECT_EQ(text.find("[HKEY_LOCAL_MACHINE\\SAM]"), std::string::npos);
    EXPECT_EQ(dialogs_.texts(),
              std::vector<std::string>{"These keys could not be read; they and their subkeys were left out:\n"
                                       "HKEY_LOCAL_MACHINE\\SAM\nHKEY_LOCAL_MACHINE\\SECURITY"});

    dialogs_.ClearShown();
    EXPECT_EQ(KeyContentOf("HKEY_LOCAL_MACHINE\\SAM"), "(not shown)");
    EXPECT_EQ(dialogs_.texts(),
              std::vector<std::string>{"These keys could not be read; they and their subkeys were left out:\n"
                                       "HKEY_LOCAL_MACHINE\\SAM"});
}

TEST_F(RootKeyCommandsTest, AddToFavoritesTakesARootKey) {
    ASSERT_TRUE(Browser().GoToPath("HKEY_LOCAL_MACHINE"));
    UpdateCommands();
    ASSERT_TRUE(Child<QAction>(*frmMain_, "acAddToFavorites")->isEnabled());
    WhenModal([this](QWidget*) { test::Child<QPushButton>(*frmFavorites_, "btnAdd")->click(); });
    Child<QAction>(*frmMain_, "acAddToFavorites")->trigger();
    bool listed = false;
    for (QAction* entry : Child<QMenu>(*frmMain_, "mnitmFavorites")->actions())
        listed = listed || entry->text() == "HKEY_LOCAL_MACHINE";
    EXPECT_TRUE(listed);
}

} // namespace
} // namespace hw::test
