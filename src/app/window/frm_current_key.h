// The Current Key dialog: the selected key's path without its root, its full path and its real path.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace hw::window {

class TfrmCurrentKey : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmCurrentKey(QWidget* parent = nullptr);

    // Fills the fields for the key path and shows the dialog modally. The caller handles "no key selected".
    void ShowFor(const std::string& keyPath);
    // Fills the fields without showing the dialog.
    void SetKeyPath(const std::string& keyPath);

    void ApplyLanguage();

  private:
    QLabel* lblShortName;
    QLineEdit* edtShortName;
    QLabel* lblLongName;
    QLineEdit* edtLongName;
    QLabel* lblReadPath;
    QPlainTextEdit* mmRealPath;
    QPushButton* btnOk;
};

} // namespace hw::window
