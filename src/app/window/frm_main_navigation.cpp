// Go To, Go To Last and Current Key.
#include "app/window/frm_main.h"

#include "app/window/frm_current_key.h"
#include "app/window/frm_goto.h"
#include "app/window/registry_browser.h"
#include "i18n/text_table.h"
#include "ui/busy_cursor.h"
#include "util/dialog.h"

namespace hw::window {

void TfrmMain::GoTo() {
    if (!dialogs_.frmGoTo) return;
    const std::optional<std::string> path = dialogs_.frmGoTo->ShowForPath();
    if (!path) return;
    ui::BusyCursor busy;
    brwsrRegistry->GoToPath(*path);
}

void TfrmMain::GoToLast() {
    if (!dialogs_.frmGoTo || !dialogs_.frmGoTo->LastNavigationOk()) {
        GoTo();
        return;
    }
    ui::BusyCursor busy;
    brwsrRegistry->GoToPath(dialogs_.frmGoTo->KeyText());
}

void TfrmMain::ShowCurrentKey() {
    const std::string path = brwsrRegistry->NodePath(brwsrRegistry->SelectedNode());
    if (path.empty()) {
        util::NoticeBox(i18n::LookupText(i18n::Text::NoCurrentKey));
        return;
    }
    if (dialogs_.frmCurrentKey) dialogs_.frmCurrentKey->ShowFor(path);
}

} // namespace hw::window
