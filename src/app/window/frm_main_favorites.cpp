// The Favorites menu of the main window: adding, managing and going to favourites, and saving them at close.
#include "app/window/frm_main.h"

#include "app/window/key_tree_model.h"
#include "app/window/registry_browser.h"
#include "content/favorites_file.h"
#include "content/window/frm_favorites.h"
#include "i18n/text_table.h"
#include "ui/busy_cursor.h"
#include "ui/file_messages.h"
#include "util/dialog.h"

#include <QMenu>

#include <exception>

namespace hw::window {

namespace {

// Tells favourite entries from the menu's fixed entries.
constexpr int kFavoriteEntryTag = 9999;
const char* const kFavoriteNameProperty = "favoriteName";

} // namespace

void TfrmMain::ConnectFavoritesCommands() {
    connect(acAddToFavorites, &QAction::triggered, this, &TfrmMain::AddToFavorites);
    connect(mnitmFavoritesManage, &QAction::triggered, this, &TfrmMain::ManageFavorites);
}

void TfrmMain::AddFavoriteMenuEntry(const std::string& name) {
    // The name is shown as typed: an ampersand is not a mnemonic here.
    QString caption = QString::fromStdString(name);
    caption.replace("&", "&&");
    QAction* entry = mnitmFavorites->addAction(caption);
    entry->setData(kFavoriteEntryTag);
    entry->setProperty(kFavoriteNameProperty, QString::fromStdString(name));
    connect(entry, &QAction::triggered, this, [this, name] { FavoritesGoTo(name); });
}

void TfrmMain::AddToFavorites() {
    const QModelIndex node = brwsrRegistry->SelectedNode();
    if (!node.isValid() || !dialogs_.frmFavorites) return;
    const std::optional<std::string> appended = dialogs_.frmFavorites->ExecuteAdd(
        favorites_, brwsrRegistry->NodePath(node), brwsrRegistry->NodeText(node));
    if (appended) AddFavoriteMenuEntry(*appended);
}

void TfrmMain::ManageFavorites() {
    if (!dialogs_.frmFavorites) return;
    for (const std::string& name : dialogs_.frmFavorites->ExecuteManage(favorites_)) {
        const QString wanted = QString::fromStdString(name);
        for (QAction* entry : mnitmFavorites->actions())
            if (entry->data().toInt() == kFavoriteEntryTag &&
                entry->property(kFavoriteNameProperty) == wanted)
                delete entry;
    }
}

void TfrmMain::FavoritesGoTo(const std::string& name) {
    ui::BusyCursor busy;
    const std::string path = favorites_.PathOfName(name).value_or("");
    try {
        brwsrRegistry->GoToPath(path);
    } catch (const std::exception&) {
        util::ErrorBox(i18n::FormatText(i18n::Text::FavoriteKeyMissing, {path}));
    }
}

void TfrmMain::SaveFavorites() {
    favorites_.PruneAbsentKeys();
    const std::string path = content::FavoritesFilePath(windowsDir_);
    if (!content::WriteFavoritesFile(path, favorites_.Lines())) util::ErrorBox(ui::CannotWriteFileText(path));
}

} // namespace hw::window
