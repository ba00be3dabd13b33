// Hive files and Windows installations in the window: loading and unloading hives, opening an installation.
#include "app/hive_choice.h"
#include "app/window/frm_main.h"

#include "app/window/registry_browser.h"
#include "i18n/text_table.h"
#include "platform/registry_store.h"
#include "ui/ui_text.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>

#include <exception>

namespace hw::window {

namespace {

// The location of the registry in use when it is hives; another registry gives way to a loaded hive.
std::string HivesInUse() {
    const std::string location = platform::DefaultRegistryPath();
    if (!location.starts_with(platform::kHiveRegistryPrefix)) return {};
    try {
        const std::vector<std::string> files = platform::CurrentRegistry().Files();
        return !files.empty() && location.find(files.front()) != std::string::npos ? location : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

void TfrmMain::ConnectHiveCommands() {
    // The location chosen is kept where the store is chosen, so programs started from here use it too.
    auto open = [this](const std::string& location) {
        if (!location.empty() && OpenRegistry(location)) setenv("HIVEWRIGHT_REGISTRY", location.c_str(), 1);
    };
    connect(acLoadHive, &QAction::triggered, this, [this, open] {
        const QString file = QFileDialog::getOpenFileName(this, ui::UiText(i18n::Text::LoadHiveCaption));
        if (!file.isEmpty()) open(app::LocationAddingHive(HivesInUse(), file.toStdString()));
    });
    connect(acUnloadHive, &QAction::triggered, this, [this, open] {
        open(app::LocationWithoutHive(HivesInUse(), brwsrRegistry->NodePath(brwsrRegistry->SelectedNode())));
    });
    connect(acOpenWindowsInstallation, &QAction::triggered, this, [this, open] {
        const QString folder = QFileDialog::getExistingDirectory(
            this, ui::UiText(i18n::Text::OpenWindowsInstallationCaption), QDir::homePath());
        if (!folder.isEmpty()) open(platform::kWindowsRegistryPrefix + folder.toStdString());
    });
}

} // namespace hw::window
