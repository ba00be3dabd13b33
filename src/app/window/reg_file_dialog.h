// The file dialogs of the file commands: registration files only, the last chosen name kept between uses.
#pragma once

#include <QFileDialog>

#include <optional>
#include <string>

namespace hw::window {

class RegFileDialog : public QFileDialog {
    Q_OBJECT

  public:
    // Save: the export dialog; the replace question is the caller's. Open: a name that does not exist may be
    // typed, so that the command can say the file does not exist.
    RegFileDialog(QFileDialog::AcceptMode mode, QWidget* parent);

    // Runs the dialog; the chosen file name, or nothing when cancelled.
    std::optional<std::string> Choose();

  private:
    QString lastChosen_;
};

} // namespace hw::window
