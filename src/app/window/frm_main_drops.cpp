// Files dropped on the main window.
#include "app/window/frm_main.h"

#include "util/text.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <filesystem>

namespace hw::window {

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    // Only the first file counts; something that is not a local file is ignored.
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    OpenDroppedFile(urls.front().toLocalFile().toStdString());
}

void TfrmMain::OpenDroppedFile(const std::string& fileName) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error)) return;
    const std::string extension = util::UpperCaseAscii(std::filesystem::path(fileName).extension().string());
    if (extension == ".OPAL")
        OpenOpalExplorer(fileName);
    else if (extension != ".REG")
        OpenFileInHexEditor(fileName);
}

} // namespace hw::window
