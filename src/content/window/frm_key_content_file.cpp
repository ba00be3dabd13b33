// The key content editor's openers and its file, print and import commands.
#include "content/window/frm_key_content.h"

#include "content/import_result_box.h"
#include "content/version_line.h"
#include "i18n/name_list.h"
#include "i18n/text_table.h"
#include "regfile/reg_export.h"
#include "regfile/reg_import.h"
#include "ui/busy_cursor.h"
#include "ui/file_messages.h"
#include "ui/text_print.h"
#include "ui/ui_text.h"
#include "util/dialog.h"
#include "util/file_io.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <exception>

namespace hw::content {

namespace {

QFileDialog* NewFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& suffix) {
    auto* dialog = new QFileDialog(parent);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setDefaultSuffix(suffix);
    return dialog;
}

} // namespace

bool TfrmKeyContent::ShowKeyContent(const std::string& keyPath) {
    if (!SetKeyContent(keyPath)) return false;
    ShowModal();
    return true;
}

void TfrmKeyContent::ShowEmpty() {
    SetText(QString(), NewTextEncoding());
    documentName_.clear();
    UpdateTitle();
    ShowModal();
}

TextEncoding TfrmKeyContent::NewTextEncoding() const {
    return versionLine_ == regfile::kVersion5Header ? TextEncoding::Utf16Le : TextEncoding::Ansi;
}

bool TfrmKeyContent::SetKeyContent(const std::string& keyPath) {
    const ui::BusyCursor busy;
    regfile::RegLines lines;
    // Saved as the program's own version line says: a version 5 file as UTF-16, others in the ANSI code page.
    std::vector<std::string> leftOut, unreadable;
    std::string stoppedAt;
    const bool exported = regfile::ExportKeyPath(keyPath, lines, leftOut, unreadable, stoppedAt,
                                                 versionLine_ == regfile::kVersion5Header);
    const DecodedText text = JoinExportLines(lines, NewTextEncoding());
    SetText(text.text, text.encoding);
    documentName_ = QString::fromStdString(keyPath);
    UpdateTitle();
    // What could not be shown is named, not dropped without a word.
    if (!exported) unreadable.push_back(keyPath);
    std::string notice;
    if (!unreadable.empty())
        notice = i18n::NameListText(i18n::LookupText(i18n::Text::KeysNotRead), unreadable);
    if (!leftOut.empty())
        notice += (notice.empty() ? "" : "\n\n") +
                  i18n::NameListText(i18n::LookupText(i18n::Text::NamesWithLineEnds), leftOut);
    if (!stoppedAt.empty())
        notice += (notice.empty() ? "" : "\n\n") +
                  i18n::NameListText(i18n::LookupText(i18n::Text::KeyContentCutShort), {stoppedAt});
    if (!notice.empty()) util::NoticeBox(notice);
    return exported;
}

void TfrmKeyContent::PrintKeyContent(const std::string& keyPath) {
    if (SetKeyContent(keyPath))
        Print(QString::fromStdString(i18n::FormatText(i18n::Text::KeyPrintTitle, {keyPath})));
}

bool TfrmKeyContent::LoadFromFile(const std::string& fileName) {
    const ui::BusyCursor busy;
    const std::optional<std::string> bytes = util::ReadFileBytes(fileName);
    if (!bytes) {
        util::ErrorBox(ui::CannotReadFileText(fileName));
        return false;
    }
    const DecodedText text = DecodeRegText(*bytes);
    SetText(text.text, text.encoding);
    documentName_ = QFileInfo(QString::fromStdString(fileName)).fileName();
    UpdateTitle();
    return true;
}

std::optional<QString> TfrmKeyContent::RunFileDialog(QFileDialog& dialog) {
    // Set on each use: the dialogs outlive a change of language.
    dialog.setNameFilter(ui::UiText(i18n::Text::RegistryFileFilter) + QStringLiteral("(*.reg)"));
    if (runFileDialog_) return runFileDialog_(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

QFileDialog& TfrmKeyContent::OpenDialog() {
    if (!opndlgContent) opndlgContent = NewFileDialog(this, QFileDialog::AcceptOpen, "reg");
    return *opndlgContent;
}

QFileDialog& TfrmKeyContent::SaveDialog() {
    if (!svdlgContent) svdlgContent = NewFileDialog(this, QFileDialog::AcceptSave, "reg");
    return *svdlgContent;
}

std::optional<std::string> TfrmKeyContent::ChooseFileToOpen() {
    const std::optional<QString> file = RunFileDialog(OpenDialog());
    if (!file) return std::nullopt;
    return file->toStdString();
}

void TfrmKeyContent::mnitmLoadFromFileClick() {
    if (!SaveChangesFirst()) return;
    if (const std::optional<std::string> file = ChooseFileToOpen()) LoadFromFile(*file);
}

bool TfrmKeyContent::mnitmSaveToFileClick() {
    const QTextDocument* document = rchedtContent->document();
    if (!IsVersionLine(document->firstBlock().text().toStdString()) &&
        util::AskYesNo(i18n::LookupText(i18n::Text::NoVersionInfo)))
        InsertVersionLine();
    const std::optional<QString> file = RunFileDialog(SaveDialog());
    return file && SaveTo(*file);
}

bool TfrmKeyContent::SaveTo(const QString& fileName) {
    const ui::BusyCursor busy;
    // The old file stays whole until the new one is complete.
    if (util::ReplaceFileAtomically(fileName.toStdString(), EncodeRegText(Text(), encoding_))) {
        documentName_ = QFileInfo(fileName).fileName();
        UpdateTitle();
        return true;
    }
    util::ErrorBox(ui::CannotWriteFileText(fileName.toStdString()));
    return false;
}

void TfrmKeyContent::mnitmImportIntoRegistryClick() {
    if (LineCount() == 0) return;
    if (!IsVersionLine(rchedtContent->document()->firstBlock().text().toStdString())) {
        if (!util::AskYesNo(i18n::LookupText(i18n::Text::NoVersionInfo))) return;
        InsertVersionLine();
    }
    if (!util::AskYesNo(i18n::LookupText(i18n::Text::SureToImportContent))) return;
    regfile::ImportReport report;
    try {
        const ui::BusyCursor busy;
        report = regfile::ImportRegLinesReported(Lines(), encoding_);
    } catch (const std::exception&) {
        util::ErrorBox(i18n::LookupText(i18n::Text::ContentImportError));
        return;
    }
    ShowImportResult(report);
}

void TfrmKeyContent::mnitmPrintClick() {
    Print(ui::UiText(i18n::Text::KeyContentPrintTitle));
}

bool TfrmKeyContent::Print(const QString& title) {
    return ui::PrintWithPreview(this, title, [this, &title](QPrinter& printer) {
        const ui::BusyCursor busy;
        if (!PrintTo(printer, title))
            util::ErrorBox(i18n::FormatText(i18n::Text::CannotPrint, {title.toStdString()}));
    });
}

bool TfrmKeyContent::PrintTo(QPrinter& printer, const QString& title) const {
    const QTextDocument& document = *rchedtContent->document();
    return ui::PrintLines(
        printer, title, static_cast<std::size_t>(document.blockCount()),
        [&document](std::size_t line) { return document.findBlockByNumber(static_cast<int>(line)).text(); },
        ui::PrintFont());
}

} // namespace hw::content
