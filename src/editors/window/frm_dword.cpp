#include "editors/window/frm_dword.h"

#include "editors/window/editor_parts.h"
#include "editors/window/number_edit.h"
#include "ui/dialog_frame.h"
#include "ui/document_title.h"
#include "ui/form_parts.h"
#include "ui/ui_text.h"
#include "util/dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace hw::editors {

using ui::UiText;

TfrmDword::TfrmDword(QWidget* parent) : QDialog(parent) {
    lblName = new QLabel(QStringLiteral("Name:"), this);
    edtName = NewNameEdit(this);
    lblData = new QLabel(QStringLiteral("Data:"), this);
    edtValue = new NumberEdit(this);
    FocusOnClick(lblName, edtName);
    FocusOnClick(lblData, edtValue);

    rdgrpDataType = new QGroupBox(QStringLiteral("Data type"), this);
    rdbtnDec = new QRadioButton(QStringLiteral("Dec"), rdgrpDataType);
    rdbtnHex = new QRadioButton(QStringLiteral("Hex"), rdgrpDataType);
    baseButtons_ = new QButtonGroup(this);
    baseButtons_->addButton(rdbtnDec, 0);
    baseButtons_->addButton(rdbtnHex, 1);
    rdbtnDec->setChecked(true);
    auto* baseLayout = new QHBoxLayout(rdgrpDataType);
    baseLayout->addWidget(rdbtnDec);
    baseLayout->addWidget(rdbtnHex);
    connect(baseButtons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) rdgrpDataTypeClick(id == 0 ? NumberBase::Decimal : NumberBase::Hexadecimal);
    });

    btnOk = new QPushButton(ui::ImageListIcon(ui::kImgOk), QStringLiteral("&OK"), this);
    btnCancel = ui::NewClosingButton(*this, ui::kImgCancel, QStringLiteral("&Cancel"), QDialog::Rejected);
    for (QPushButton* button : {btnOk, btnCancel})
        button->setAutoDefault(false);
    connect(btnOk, &QPushButton::clicked, this, &TfrmDword::btnOkClick);
    connect(edtValue, &QLineEdit::textEdited, this, [this] {
        edited_ = true;
        UpdateTitle();
    });
    connect(edtValue, &NumberEdit::enterPressed, btnOk, &QPushButton::click);
    connect(edtValue, &NumberEdit::escapePressed, btnCancel, &QPushButton::click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QGridLayout(this);
    layout->addWidget(lblName, 0, 0);
    layout->addWidget(edtName, 0, 1);
    layout->addWidget(lblData, 1, 0);
    layout->addWidget(edtValue, 1, 1);
    layout->addWidget(rdgrpDataType, 2, 0, 1, 2);
    layout->addLayout(buttons, 3, 0, 1, 2);
    layout->setColumnStretch(1, 1);

    ui::NameParts({{lblName, "lblName"},
                   {edtName, "edtName"},
                   {lblData, "lblData"},
                   {edtValue, "edtValue"},
                   {rdgrpDataType, "rdgrpDataType"},
                   {rdbtnDec, "rdbtnDec"},
                   {rdbtnHex, "rdbtnHex"},
                   {btnOk, "btnOk"},
                   {btnCancel, "btnCancel"}});

    UpdateTitle();
    ui::FixDialogSize(*this, QSize(340, 170));
}

void TfrmDword::UpdateTitle() {
    ui::SetDocumentTitle(*this, edtName->text(), UiText(i18n::Text::DwordEditorCaption), edited_);
}

void TfrmDword::SetValue(const std::string& name, DWORD number) {
    edtName->setText(QString::fromUtf8(name));
    ChooseBase(NumberBase::Decimal);
    edtValue->setText(QString::fromStdString(DecimalText(number)));
    edited_ = false;
    resultValue_ = number;
    UpdateTitle();
}

void TfrmDword::ChooseBase(NumberBase base) {
    (base == NumberBase::Decimal ? rdbtnDec : rdbtnHex)->setChecked(true);
}

NumberBase TfrmDword::ChosenBase() const {
    return edtValue->Base();
}

void TfrmDword::rdgrpDataTypeClick(NumberBase base) {
    if (base == edtValue->Base()) return;
    edtValue->SetBase(base);
    const std::string text = edtValue->text().toStdString();
    if (!text.empty()) edtValue->setText(QString::fromStdString(SwitchBase(base, text)));
}

void TfrmDword::btnOkClick() {
    const std::string text = edtValue->text().toStdString();
    if (text.empty()) {
        resultValue_ = 0;
        accept();
        return;
    }
    const NumberReading reading = ReadNumber(edtValue->Base(), text);
    if (!reading.number) {
        resultValue_ = 0;
        util::ErrorBox(reading.failure);
        return;
    }
    resultValue_ = *reading.number;
    accept();
}

void TfrmDword::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ChooseBase(NumberBase::Decimal);
    ui::CentreOnDesktop(*this);
    edtValue->setFocus();
}

void TfrmDword::ApplyLanguage() {
    UpdateTitle();
    lblName->setText(UiText(i18n::Text::DwordNameLabel));
    lblData->setText(UiText(i18n::Text::DwordDataLabel));
    rdgrpDataType->setTitle(UiText(i18n::Text::DwordDataType));
    rdbtnDec->setText(UiText(i18n::Text::Dec));
    rdbtnHex->setText(UiText(i18n::Text::Hex));
    btnOk->setText(UiText(i18n::Text::Ok));
    btnCancel->setText(UiText(i18n::Text::Cancel));
    ui::FixDialogSize(*this, QSize(340, 170));
}

} // namespace hw::editors
