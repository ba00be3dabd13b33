// The hex editor tool command of the main window.
#include "app/window/frm_main.h"

namespace hw::window {

void TfrmMain::ConnectHexEditorCommands() {}

} // namespace hw::window
