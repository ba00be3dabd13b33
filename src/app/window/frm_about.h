// The about box. Its panel hides a switch: the tenth double click in a row toggles the keep-open flag, which
// makes the main window refuse to close.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace hw::window {

class TfrmAbout : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    // The main window's keep-open flag, false at start; read it when a close is requested.
    bool KeepOpen() const { return keepOpen_; }
    void SetKeepOpen(bool keepOpen) { keepOpen_ = keepOpen; }
    int DoubleClickCount() const { return doubleClickCount_; }

    void ApplyLanguage();

  private:
    QFrame* pnlMain;
    QLabel* imgProgram;
    QLabel* lblProduct;
    QLabel* lblDescription;
    QLabel* lblPlatform;
    QPushButton* btnOk;

  signals:
    void keepOpenToggled(bool keepOpen);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void pnlMainDblClick();
    void pnlMainEnter();

    int doubleClickCount_ = 0;
    bool keepOpen_ = false;
};

} // namespace hw::window
