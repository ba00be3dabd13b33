// The hex editor's popup menu: the internal clipboard, delete, find and print.
#include "editors/hex_search.h"
#include "editors/window/frm_bin.h"
#include "editors/window/frm_bin_find.h"
#include "editors/window/hex_print.h"
#include "editors/window/hex_view.h"
#include "i18n/text_table.h"
#include "ui/busy_cursor.h"
#include "ui/command_set.h"
#include "ui/text_print.h"
#include "util/dialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>

namespace hw::editors {

namespace {

// Larger copies stay in the internal clipboard only: their text would take several times their size.
constexpr std::size_t kSystemClipboardLimit = 4 << 20;

} // namespace

void TfrmBin::CreatePopupMenu() {
    using i18n::Text;
    ui::MakeCommands(*this,
                     {
                         {{"pppmnHexValueCut", Text::BinaryCut}, [this] { Cut(); }},
                         {{"pppmnHexValueCopy", Text::BinaryCopy}, [this] { Copy(); }},
                         {{"pppmnHexValuePaste", Text::BinaryPaste}, [this] { Paste(); }},
                         {{"pppmnitmHexValuePrint", Text::BinaryPrint}, [this] { Print(); }},
                         {{"pppmnitmHexValueFind", Text::BinaryFind, "Ctrl+F"}, [this] { Find(); }},
                         {{"pppmnitmHexValueFindNext", Text::BinaryFindNext, "F3"}, [this] { FindNext(); }},
                         {{"pppmnHexValueDelete", Text::PopupDelete}, [this] { DeleteSelection(); }},
                     });
    pppmnHexValue =
        ui::MakeMenu(*this, {"pppmnHexValue",
                             std::nullopt,
                             {"pppmnHexValueCut", nullptr, "pppmnHexValueCopy", "pppmnHexValuePaste", nullptr,
                              "pppmnitmHexValuePrint", nullptr, "pppmnitmHexValueFind",
                              "pppmnitmHexValueFindNext", nullptr, "pppmnHexValueDelete"}});
    pppmnHexValueCut = &ui::CommandNamed(*this, "pppmnHexValueCut");
    pppmnHexValueCopy = &ui::CommandNamed(*this, "pppmnHexValueCopy");
    pppmnHexValuePaste = &ui::CommandNamed(*this, "pppmnHexValuePaste");
    pppmnitmHexValuePrint = &ui::CommandNamed(*this, "pppmnitmHexValuePrint");
    pppmnHexValueDelete = &ui::CommandNamed(*this, "pppmnHexValueDelete");
    connect(pppmnHexValue, &QMenu::aboutToShow, this, [this] { UpdatePopupStates(); });
    connect(mmHexValue, &HexView::contextMenuRequested, pppmnHexValue,
            [this](QPoint position) { pppmnHexValue->popup(position); });
}

void TfrmBin::UpdatePopupStates() {
    const bool selected = mmHexValue->Document().HexRange().length > 0;
    pppmnHexValueCut->setEnabled(selected);
    pppmnHexValueCopy->setEnabled(selected);
    pppmnHexValuePaste->setEnabled(clipboardFilled_);
    pppmnitmHexValuePrint->setEnabled(!Bytes().empty());
    pppmnHexValueDelete->setEnabled(selected);
}

void TfrmBin::Copy() {
    UpdatePopupStates();
    if (!pppmnHexValueCopy->isEnabled()) return;
    clipboard_ = mmHexValue->Document().CopiedBytes();
    clipboardFilled_ = true;
    // Other programs get the byte text; the editor pastes from its own clipboard.
    if (clipboard_.size() <= kSystemClipboardLimit) {
        HexDocument copied;
        copied.SetBytes(clipboard_);
        QGuiApplication::clipboard()->setText(QString::fromLatin1(copied.HexText()));
    }
}

void TfrmBin::Cut() {
    UpdatePopupStates();
    if (!pppmnHexValueCut->isEnabled()) return;
    Copy();
    mmHexValue->EditDocument([](HexDocument& document) { return document.RemoveHexSelection(); });
}

void TfrmBin::Paste() {
    if (!clipboardFilled_) return;
    mmHexValue->EditDocument([this](HexDocument& document) {
        document.Paste(clipboard_);
        return !clipboard_.empty();
    });
}

void TfrmBin::DeleteSelection() {
    UpdatePopupStates();
    if (!pppmnHexValueDelete->isEnabled()) return;
    mmHexValue->EditDocument([](HexDocument& document) { return document.RemoveHexSelection(); });
}

void TfrmBin::Find() {
    if (frmBinFind->exec() != QDialog::Accepted) return;
    SearchFrom(mmHexValue->Document().HexRange().start, i18n::Text::NotFound);
}

void TfrmBin::FindNext() {
    if (!findSucceeded_) {
        Find();
        return;
    }
    SearchFrom(mmHexValue->Document().HexRange().end(), i18n::Text::FindFinished);
}

void TfrmBin::SearchFrom(std::size_t position, i18n::Text notFoundText) {
    const std::string pattern = frmBinFind->SearchText();
    std::optional<std::size_t> found;
    {
        const ui::BusyCursor busy;
        found = FindInByteText(Bytes(), pattern, position);
    }
    if (!found) {
        // Find Next keeps the last hit; a failed Find forgets it.
        if (notFoundText == i18n::Text::NotFound) findSucceeded_ = false;
        util::NoticeBox(i18n::LookupText(notFoundText));
        return;
    }
    mmHexValue->EditDocument([&](HexDocument& document) {
        document.hex.Set({*found, pattern.size()});
        document.SyncCharsFromHex();
        document.SyncHexFromChars(); // whole bytes, as the character column sees them
        return false;
    });
    findSucceeded_ = true;
}

QString TfrmBin::PrintTitle() const {
    return QString::fromStdString(
        i18n::FormatText(i18n::Text::HexContentTitle, {edtName->text().toStdString()}));
}

void TfrmBin::Print() {
    UpdatePopupStates();
    if (!pppmnitmHexValuePrint->isEnabled()) return;
    ui::PrintWithPreview(this, PrintTitle(), [this](QPrinter& printer) {
        const ui::BusyCursor busy;
        PrintHexLines(printer, mmHexValue->Document(), PrintTitle());
    });
}

} // namespace hw::editors
