// Export, import, print, favourites, mail and dropped files of the main window.
#include "app/window/frm_main.h"

#include "app/window/file_work_progress.h"
#include "app/window/reg_file_dialog.h"
#include "app/window/registry_browser.h"
#include "core/key_ops.h"
#include "i18n/text_table.h"
#include "regfile/reg_import.h"
#include "ui/busy_cursor.h"
#include "ui/file_messages.h"
#include "util/dialog.h"

#include <QDesktopServices>
#include <QUrl>

#include <filesystem>

namespace hw::window {

namespace {

// The maker's support address, for Suggest or Question.
const char* const kSupportAddress = "support@torva-hivewright.example";

std::string ImportOutcomeText(const regfile::ImportReport& report, std::uint64_t bytesDone) {
    std::string text;
    if (report.stopped)
        text = ui::ImportStoppedText(bytesDone);
    else
        switch (report.result) {
        case regfile::ImportResult::Success:
            return i18n::LookupText(i18n::Text::ImportSuccess);
        case regfile::ImportResult::UnknownHeader:
            return i18n::LookupText(i18n::Text::ImportVersionUnknown);
        case regfile::ImportResult::Incomplete:
            text = i18n::LookupText(i18n::Text::ImportError);
            break;
        case regfile::ImportResult::FileNotFound:
            return i18n::LookupText(i18n::Text::FileNotExists);
        }
    return ui::WithLines(text, regfile::DescribeImportFailures(report));
}

} // namespace

void TfrmMain::ConnectFileCommands() {
    svdlgExport = new RegFileDialog(QFileDialog::AcceptSave, this);
    svdlgExport->setObjectName("svdlgExport");
    opndlgRegFile = new RegFileDialog(QFileDialog::AcceptOpen, this);
    opndlgRegFile->setObjectName("opndlgRegFile");
    connect(acExportCurrentKey, &QAction::triggered, this, &TfrmMain::ExportCurrentKey);
    connect(acExportWholeRegistry, &QAction::triggered, this, &TfrmMain::ExportWholeRegistry);
    connect(acImportRegistryFile, &QAction::triggered, this, &TfrmMain::ImportRegistryFile);
    connect(acEmail, &QAction::triggered, this, &TfrmMain::SendSuggestion);
    ConnectFavoritesCommands();
}

std::optional<std::string> TfrmMain::ChooseExportFile() {
    std::optional<std::string> fileName = svdlgExport->Choose();
    std::error_code ignored;
    if (fileName && std::filesystem::exists(*fileName, ignored) &&
        !util::AskYesNo(i18n::FormatText(i18n::Text::FileExistsReplace, {*fileName})))
        return std::nullopt;
    return fileName;
}

void TfrmMain::RunExport(
    const std::string& fileName, const std::string& keyPath,
    const std::function<regfile::ExportReport(const regfile::ExportProgress&)>& exportTo) {
    regfile::ExportReport report;
    {
        ui::BusyCursor busy;
        FileWorkProgress progress(this, QString::fromStdString(fileName));
        report = exportTo([&progress](std::uint64_t keysDone) { return progress.ReportKeys(keysDone); });
    }
    switch (report.result) {
    case regfile::ExportResult::Success:
        if (!report.leftOut.empty()) util::NoticeBox(ui::LeftOutNamesText(report.leftOut));
        util::NoticeBox(ui::ExportedFileText(fileName));
        break;
    case regfile::ExportResult::KeyNotFound:
        util::ErrorBox(i18n::FormatText(i18n::Text::KeyNotInRegistry, {keyPath}));
        break;
    case regfile::ExportResult::WriteFailed:
        util::ErrorBox(ui::CannotWriteFileText(fileName));
        break;
    case regfile::ExportResult::ReadFailed:
        util::ErrorBox(report.unreadable);
        break;
    case regfile::ExportResult::Cancelled:
        break;
    }
}

void TfrmMain::ExportCurrentKey() {
    const QModelIndex node = brwsrRegistry->SelectedNode();
    if (!node.isValid()) return;
    const std::optional<std::string> fileName = ChooseExportFile();
    if (!fileName) return;
    const std::string path = brwsrRegistry->NodePath(node);
    // A key gone since it was selected must not turn the file into a header alone.
    if (!core::KeyPathExists(path)) {
        util::ErrorBox(i18n::FormatText(i18n::Text::KeyNotInRegistry, {path}));
        return;
    }
    RunExport(*fileName, path, [&](const regfile::ExportProgress& progress) {
        return regfile::ExportKeyPathToFileReported(path, *fileName, regFileHeader_, progress);
    });
}

void TfrmMain::ExportWholeRegistry() {
    const std::optional<std::string> fileName = ChooseExportFile();
    if (!fileName) return;
    RunExport(*fileName, "HKEY_LOCAL_MACHINE", [&](const regfile::ExportProgress& progress) {
        return regfile::ExportRegistryToFileReported(*fileName, regFileHeader_, progress);
    });
}

void TfrmMain::ImportRegistryFile() {
    const std::optional<std::string> fileName = opndlgRegFile->Choose();
    if (!fileName || !util::AskYesNo(i18n::FormatText(i18n::Text::SureToImportFile, {*fileName}))) return;
    regfile::ImportReport report;
    std::uint64_t bytesDone = 0;
    {
        ui::BusyCursor busy;
        FileWorkProgress progress(this, QString::fromStdString(*fileName));
        report =
            regfile::ImportRegFileReported(*fileName, [&progress](std::uint64_t done, std::uint64_t total) {
                return progress.ReportBytes(done, total);
            });
        bytesDone = progress.LastDone();
    }
    const std::string text = ImportOutcomeText(report, bytesDone);
    if (report.result == regfile::ImportResult::Success && report.failures.empty())
        util::NoticeBox(text);
    else
        util::ErrorBox(text);
}

void TfrmMain::SendSuggestion() {
    QDesktopServices::openUrl(QUrl(QString("mailto:") + kSupportAddress));
}

} // namespace hw::window
