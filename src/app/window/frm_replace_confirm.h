// The question Paste Values asks for each value that already exists: Yes, No, Cancel (and All on request).
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;
class QScrollArea;

namespace hw::window {

class TfrmReplaceConfirm : public QDialog {
    Q_OBJECT

  public:
    enum Answer { All, Yes, No, Cancel };

    explicit TfrmReplaceConfirm(QWidget* parent = nullptr);

    // Shows question in lblKey and waits for the answer; btnAll is shown only when showAll is set.
    Answer Ask(const std::string& question, bool showAll = false);

    void ApplyLanguage();

  private:
    QLabel* lblFound;
    QLabel* lblKey;
    QScrollArea* scrlbxInfo;
    QLabel* lblInfo;
    QPushButton* btnAll;
    QPushButton* btnYes;
    QPushButton* btnNo;
    QPushButton* btnCancel;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace hw::window
