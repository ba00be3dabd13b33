// The key content editor commands of the main window.
#include "app/window/frm_main.h"

namespace hw::window {

void TfrmMain::ConnectKeyContentCommands() {}

} // namespace hw::window
