// The hex editor's find dialog: what to search for, as text or as byte text; each box follows the other
// and the byte text is what the editor searches for. Both boxes keep their content between uses.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace hw::editors {

class TfrmBinFind : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmBinFind(QWidget* parent = nullptr);

    // The byte text box without blanks or tabs at either end.
    std::string SearchText() const;
    void ApplyLanguage();
    // For the editor that is the only window: closing it is the way out.
    void HideCancel();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void edtTextChange();
    // Single blanks, the byte text read back and written out tidy, the text box rebuilt from it.
    void TidyHexBox();

    QLabel* lblText;
    QLineEdit* edtText;
    QLabel* lblHex;
    QLineEdit* edtHex;
    QPushButton* btnFind;
    QPushButton* btnCancel;

    bool textRuleOn_ = true;
    bool picturesLoaded_ = false;
};

} // namespace hw::editors
