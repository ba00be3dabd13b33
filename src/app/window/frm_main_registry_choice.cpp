// Which registry the window shows: the program's own database or a Wine prefix, named in the title.
#include "app/window/frm_main.h"

#include "app/window/registry_browser.h"
#include "app/windows_dir.h"
#include "i18n/text_table.h"
#include "platform/registry_store.h"
#include "ui/ui_text.h"
#include "util/dialog.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QTimer>

#include <exception>

namespace hw::window {

namespace {

constexpr const char* kProgramTitle = "Torva Hivewright";

bool RegistryInUseHolds(const std::string& location) {
    if (location.starts_with(platform::kWineRegistryPrefix)) return false;
    try {
        return platform::CurrentRegistry().HoldsFile(location);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

void TfrmMain::ConnectRegistryChoiceCommands() {
    connect(acOpenWinePrefix, &QAction::triggered, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(
            this, ui::UiText(i18n::Text::OpenWinePrefixCaption), QDir::homePath() + "/.wine");
        if (!folder.isEmpty()) OpenRegistry(platform::kWineRegistryPrefix + folder.toStdString());
    });
    connect(acOpenOwnRegistry, &QAction::triggered, this,
            [this] { OpenRegistry(platform::OwnRegistryPath()); });
    // The store opens with the window's first look at the registry; name it once that has happened.
    QTimer::singleShot(0, this, [this] { ShowRegistryInUse(true); });
}

bool TfrmMain::OpenRegistry(const std::string& location) {
    // The database in use again: a second connection to its files would share the process's locks with the
    // first, so the store in use stays and is read again.
    if (RegistryInUseHolds(location)) {
        brwsrRegistry->RefreshAll();
        ShowRegistryInUse(true);
        return true;
    }
    std::string error;
    auto store = platform::OpenRegistryAt(location, &error);
    if (!store) {
        util::ErrorBox(i18n::FormatText(i18n::Text::RegistryCannotOpen, {error}));
        return false;
    }
    SaveFavorites();
    // The old store writes what it still holds, saying so when it cannot, and lets go of its prefix.
    if (const std::string unsaved = platform::FlushRegistry(); !unsaved.empty()) util::ErrorBox(unsaved);
    platform::UseRegistry(std::move(store));
    windowsDir_ = app::ReadWindowsDir(facts_);
    brwsrRegistry->RefreshAll();
    ShowRegistryInUse(true);
    return true;
}

void TfrmMain::ShowRegistryInUse(bool announce) {
    std::string title = kProgramTitle, notice;
    try {
        const platform::RegistryStore& store = platform::CurrentRegistry();
        if (std::string name = store.Description(); !name.empty()) title += " - " + name;
        if (store.ReadOnly()) title += " (read-only)";
        notice = store.Notice();
    } catch (const std::exception&) {
        // A registry that cannot open has been reported where it was first used.
    }
    setWindowTitle(QString::fromUtf8(title));
    if (announce && !notice.empty()) util::NoticeBox(notice);
}

} // namespace hw::window
