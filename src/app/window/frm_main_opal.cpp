// The OPAL Explorer command and the Magic Setting menu of the main window.
#include "app/window/frm_main.h"

namespace hw::window {

void TfrmMain::ConnectOpalCommands() {}

} // namespace hw::window
