// New, rename, delete, the clipboards and value editing of the main window.
#include "app/window/frm_main.h"

namespace hw::window {

void TfrmMain::ConnectEditCommands() {}

} // namespace hw::window
