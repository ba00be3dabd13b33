// A find or replace dialog in the manner of the system's own: it searches downward only, offers match
// case, and stays open (not modal) while its buttons report what the user asked for.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace hw::content {

class TFindTextDialog : public QDialog {
    Q_OBJECT

  public:
    enum class Kind { Find, Replace };
    TFindTextDialog(Kind kind, QWidget* parent);

    QString FindText() const;
    QString ReplaceText() const;
    bool MatchCase() const;
    void SetFindText(const QString& text);
    void SetReplaceText(const QString& text);
    void SetMatchCase(bool on);
    // Replace and Replace All stay disabled while the text may not change.
    void SetReplaceAllowed(bool allowed);
    // Sets the captions from the text table.
    void ApplyLanguage();

    // Shows the dialog (or brings it forward) with the find text selected.
    void Open();

  signals:
    void findNext();
    void replace();
    void replaceAll();

  private:
    void UpdateButtons();

    QLabel* lblFindText;
    QLineEdit* edtFindText;
    QLabel* lblReplaceText = nullptr;
    QLineEdit* edtReplaceText = nullptr;
    QCheckBox* chckbxMatchCase;
    QPushButton* btnFindNext;
    QPushButton* btnReplace = nullptr;
    QPushButton* btnReplaceAll = nullptr;
    QPushButton* btnCancel;

    bool replaceAllowed_ = true;
};

} // namespace hw::content
