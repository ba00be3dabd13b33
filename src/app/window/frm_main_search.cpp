// The Find and Replace windows of the main window.
#include "app/window/frm_main.h"

namespace hw::window {

void TfrmMain::ConnectSearchCommands() {}

} // namespace hw::window
