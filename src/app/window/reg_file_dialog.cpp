#include "app/window/reg_file_dialog.h"

#include "platform/qt/file_dialog_setup.h"
#include "ui/ui_text.h"

#include <QFileInfo>

namespace hw::window {

RegFileDialog::RegFileDialog(QFileDialog::AcceptMode mode, QWidget* parent) : QFileDialog(parent) {
    setAcceptMode(mode);
    setFileMode(QFileDialog::AnyFile);
    setDefaultSuffix("reg");
    // The commands ask their own replace question; the widget dialog behaves the same on every desktop.
    setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
    platform::ListByNamesOnly(*this);
}

std::optional<std::string> RegFileDialog::Choose() {
    // Set on each use: the dialog outlives a change of language.
    setNameFilter(ui::UiText(i18n::Text::RegistryFileFilter) + QStringLiteral("(*.reg)"));
    if (!lastChosen_.isEmpty()) {
        setDirectory(QFileInfo(lastChosen_).absolutePath());
        selectFile(lastChosen_);
    } else {
        setDirectory(platform::DialogStartFolder());
    }
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty()) return std::nullopt;
    lastChosen_ = selectedFiles().front();
    platform::RememberDialogFolder(lastChosen_);
    return lastChosen_.toStdString();
}

} // namespace hw::window
