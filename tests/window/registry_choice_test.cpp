// The Registry menu's choice between the program's own registry and a Wine prefix.
#include "platform/registry_store.h"
#include "store/wine/wine_store.h"
#include "support/qt/window_fixture.h"

#include <QApplication>

namespace hw::test {
namespace {

class RegistryChoiceTest : public MainWindowTest {};

TEST_F(RegistryChoiceTest, OpeningTheDatabaseInUseKeepsItsOneConnection) {
    CreateWindow();
    const platform::RegistryStore* inUse = &platform::CurrentRegistry();
    ASSERT_TRUE(frmMain_->OpenRegistry(registry_.databasePath()));
    EXPECT_EQ(&platform::CurrentRegistry(), inUse);
}

TEST_F(RegistryChoiceTest, TheWindowSwitchesToAPrefixNamesItAndComesBack) {
    const std::string prefix = registry_.dir().file("prefix");
    store::wine::WineStore::WriteSkeletonPrefix(prefix);
    CreateWindow();
    QApplication::processEvents();
    EXPECT_EQ(frmMain_->windowTitle().toStdString(), "Torva Hivewright");

    ASSERT_TRUE(frmMain_->OpenRegistry(std::string(platform::kWineRegistryPrefix) + prefix));
    EXPECT_EQ(frmMain_->windowTitle().toStdString(), "Torva Hivewright - Wine prefix " + prefix);
    EXPECT_EQ(ChildTexts(QModelIndex()).size(), 5u);
    EXPECT_TRUE(Browser().GoToPath("HKEY_LOCAL_MACHINE\\SYSTEM\\Select"));
    // Four values and the "(Default)" row.
    EXPECT_EQ(ValueCaptions().size(), 5u);

    // A second window on the same prefix only reads, and says so.
    setenv("HIVEWRIGHT_REGISTRY", registry_.databasePath().c_str(), 1);
    std::string error;
    ASSERT_TRUE(frmMain_->OpenRegistry(platform::OwnRegistryPath()));
    EXPECT_EQ(frmMain_->windowTitle().toStdString(), "Torva Hivewright");
    {
        auto writer = platform::OpenWineStore(prefix, &error);
        ASSERT_FALSE(writer->ReadOnly());
        ASSERT_TRUE(frmMain_->OpenRegistry(std::string(platform::kWineRegistryPrefix) + prefix));
        EXPECT_EQ(frmMain_->windowTitle().toStdString(),
                  "Torva Hivewright - Wine prefix " + prefix + " (read-only)");
        ASSERT_FALSE(dialogs_.texts().empty());
        EXPECT_NE(dialogs_.texts().back().find("read-only"), std::string::npos);
    }

    // A folder that is no prefix leaves the registry in use.
    EXPECT_FALSE(
        frmMain_->OpenRegistry(std::string(platform::kWineRegistryPrefix) + registry_.dir().file("none")));
    EXPECT_NE(dialogs_.texts().back().find("system.reg"), std::string::npos);
    EXPECT_NE(frmMain_->windowTitle().toStdString().find("Wine prefix"), std::string::npos);
    unsetenv("HIVEWRIGHT_REGISTRY");
}

} // namespace
} // namespace hw::test
