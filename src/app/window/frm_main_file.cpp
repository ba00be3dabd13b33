// Export, import, print, favourites, mail and dropped files of the main window.
#include "app/window/frm_main.h"

namespace hw::window {

void TfrmMain::ConnectFileCommands() {
    ConnectFavoritesCommands();
}

} // namespace hw::window
