// The DWORD editor: one unsigned 32-bit number typed in decimal or hexadecimal. The caller fills the name,
// the text and the result value, shows the dialog and on OK writes ResultValue() itself.
#pragma once

#include "editors/dword_text.h"
#include "platform/winreg.h"

#include <QDialog>

#include <string>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace hw::editors {

class NumberEdit;

class TfrmDword : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmDword(QWidget* parent = nullptr);

    // Name, decimal text and result value of the number, with Dec chosen.
    void SetValue(const std::string& name, DWORD number);
    DWORD ResultValue() const { return resultValue_; }
    void SetResultValue(DWORD number) { resultValue_ = number; }

    // Picks item 0 (Dec) or 1 (Hex) of rdgrpDataType, as a click does.
    void ChooseBase(NumberBase base);
    NumberBase ChosenBase() const;

    void ApplyLanguage();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void btnOkClick();
    void rdgrpDataTypeClick(NumberBase base);
    void UpdateTitle();

    QLabel* lblName;
    QLineEdit* edtName;
    QLabel* lblData;
    NumberEdit* edtValue;
    QGroupBox* rdgrpDataType;
    QRadioButton* rdbtnDec;
    QRadioButton* rdbtnHex;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    QButtonGroup* baseButtons_;
    DWORD resultValue_ = 0;
    bool edited_ = false; // typed into since SetValue
};

} // namespace hw::editors
