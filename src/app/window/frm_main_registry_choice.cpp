// Which registry the window shows of the main window.
#include "app/window/frm_main.h"

namespace hw::window {

void TfrmMain::ConnectRegistryChoiceCommands() {}

} // namespace hw::window
