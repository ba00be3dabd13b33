// The key content editor's Find, Find Next, Replace and Replace All.
#include "content/window/frm_key_content.h"

#include "content/window/find_text_dialog.h"
#include "i18n/text_table.h"
#include "ui/busy_cursor.h"
#include "util/dialog.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace hw::content {

namespace {

QTextDocument::FindFlags FindFlags(const TFindTextDialog& dialog) {
    return dialog.MatchCase() ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
}

// Equal as the system's replace compares: exactly, or with only a-z folded.
bool SameText(const QString& a, const QString& b, bool matchCase) {
    if (matchCase || a.size() != b.size()) return a == b;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
        if (lower(x) != lower(y)) return false;
    }
    return true;
}

} // namespace

bool TfrmKeyContent::FindFrom(int position, const TFindTextDialog& dialog) {
    if (dialog.FindText().isEmpty()) return false;
    const QTextCursor found = rchedtContent->document()->find(dialog.FindText(), position, FindFlags(dialog));
    if (found.isNull()) return false;
    rchedtContent->setTextCursor(found);
    return true;
}

void TfrmKeyContent::mnitmFindClick() {
    fnddlgContent->Open();
}

void TfrmKeyContent::mnitmReplaceClick() {
    rplcdlgContent->SetReplaceAllowed(!rchedtContent->isReadOnly());
    rplcdlgContent->Open();
}

void TfrmKeyContent::FindNext(bool fromReplaceDialog) {
    TFindTextDialog& dialog = fromReplaceDialog ? *rplcdlgContent : *fnddlgContent;
    if (!fromReplaceDialog) dialog.hide();
    found_ = FindFrom(rchedtContent->textCursor().position(), dialog);
    UpdateStatusBar();
    if (!found_)
        util::NoticeBox(i18n::LookupText(fromReplaceDialog ? i18n::Text::ContentReplaceFinished
                                                           : i18n::Text::FindFinished));
}

void TfrmKeyContent::mnitmFindNextClick() {
    if (!found_) {
        mnitmFindClick();
        return;
    }
    found_ = FindFrom(rchedtContent->textCursor().selectionEnd(), *fnddlgContent);
    UpdateStatusBar();
    if (!found_) util::NoticeBox(i18n::LookupText(i18n::Text::FindFinished));
}

void TfrmKeyContent::Replace() {
    if (rchedtContent->isReadOnly()) return;
    QTextCursor selection = rchedtContent->textCursor();
    if (selection.hasSelection() &&
        SameText(selection.selectedText(), rplcdlgContent->FindText(), rplcdlgContent->MatchCase())) {
        selection.insertText(rplcdlgContent->ReplaceText());
        rchedtContent->setTextCursor(selection);
        UpdateStatusBar();
        return;
    }
    FindNext(true);
}

void TfrmKeyContent::ReplaceAll() {
    rplcdlgContent->hide();
    const QString findText = rplcdlgContent->FindText();
    if (rchedtContent->isReadOnly() || findText.isEmpty()) return;
    const QString replacement = rplcdlgContent->ReplaceText();
    const QTextDocument::FindFlags flags = FindFlags(*rplcdlgContent);
    QTextDocument* document = rchedtContent->document();
    QTextCursor caret = rchedtContent->textCursor();
    // The whole text, wherever the caret stands: the notice says the replacing is finished.
    int position = 0;
    std::size_t replaced = 0;
    stop_ = false;
    replaceAllRunning_ = true;
    rchedtContent->setFocus();
    {
        const ui::BusyCursor busy;
        // One undo step, and the text is laid out once at the end rather than after every replacement.
        QTextCursor block(document);
        block.beginEditBlock();
        rchedtContent->viewport()->setUpdatesEnabled(false);
        while (true) {
            QCoreApplication::processEvents();
            if (stop_) break;
            QTextCursor found = document->find(findText, position, flags);
            if (found.isNull()) break;
            found.insertText(replacement);
            ++replaced;
            position = found.position();
            caret = found;
        }
        block.endEditBlock();
        rchedtContent->viewport()->setUpdatesEnabled(true);
    }
    replaceAllRunning_ = false;
    rchedtContent->setTextCursor(caret);
    UpdateStatusBar();
    util::NoticeBox(i18n::LookupText(stop_ ? i18n::Text::ReplaceBroken : i18n::Text::ContentReplaceFinished) +
                    "\n" + i18n::FormatText(i18n::Text::OccurrencesReplaced, {std::to_string(replaced)}));
}

} // namespace hw::content
