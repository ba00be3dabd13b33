#include "app/window/reg_file_dialog.h"

#include <QFileInfo>

namespace hw::window {

RegFileDialog::RegFileDialog(QFileDialog::AcceptMode mode, QWidget* parent) : QFileDialog(parent) {
    setAcceptMode(mode);
    setFileMode(QFileDialog::AnyFile);
    setDefaultSuffix("reg");
    setNameFilter("Registry file(*.reg)");
    // The commands ask their own replace question; the widget dialog behaves the same on every desktop.
    setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
}

std::optional<std::string> RegFileDialog::Choose() {
    if (!lastChosen_.isEmpty()) {
        setDirectory(QFileInfo(lastChosen_).absolutePath());
        selectFile(lastChosen_);
    }
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty()) return std::nullopt;
    lastChosen_ = selectedFiles().front();
    return lastChosen_.toStdString();
}

} // namespace hw::window
