#include "content/window/find_text_dialog.h"

#include "ui/form_parts.h"
#include "ui/ui_text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace hw::content {

using ui::UiText;

TFindTextDialog::TFindTextDialog(Kind kind, QWidget* parent) : QDialog(parent) {
    const bool replacing = kind == Kind::Replace;
    setModal(false);

    lblFindText = new QLabel(this);
    edtFindText = new QLineEdit(this);
    lblFindText->setBuddy(edtFindText);
    chckbxMatchCase = new QCheckBox(this);
    btnFindNext = new QPushButton(this);
    btnFindNext->setDefault(true);
    btnCancel = new QPushButton(this);

    auto* fields = new QGridLayout;
    fields->addWidget(lblFindText, 0, 0);
    fields->addWidget(edtFindText, 0, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnFindNext);
    if (replacing) {
        lblReplaceText = new QLabel(this);
        edtReplaceText = new QLineEdit(this);
        lblReplaceText->setBuddy(edtReplaceText);
        fields->addWidget(lblReplaceText, 1, 0);
        fields->addWidget(edtReplaceText, 1, 1);
        btnReplace = new QPushButton(this);
        btnReplaceAll = new QPushButton(this);
        buttons->addWidget(btnReplace);
        buttons->addWidget(btnReplaceAll);
        connect(btnReplace, &QPushButton::clicked, this, &TFindTextDialog::replace);
        connect(btnReplaceAll, &QPushButton::clicked, this, &TFindTextDialog::replaceAll);
    }
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    fields->addWidget(chckbxMatchCase, fields->rowCount(), 0, 1, 2);
    fields->setRowStretch(fields->rowCount(), 1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
    edtFindText->setMinimumWidth(200);

    // Tab follows the fields from the top, then the buttons: the widgets were not made in that order.
    ui::SetTabChain(
        {edtFindText, edtReplaceText, chckbxMatchCase, btnFindNext, btnReplace, btnReplaceAll, btnCancel});
    ui::NameParts({{lblFindText, "lblFindText"},
                   {edtFindText, "edtFindText"},
                   {lblReplaceText, "lblReplaceText"},
                   {edtReplaceText, "edtReplaceText"},
                   {chckbxMatchCase, "chckbxMatchCase"},
                   {btnFindNext, "btnFindNext"},
                   {btnReplace, "btnReplace"},
                   {btnReplaceAll, "btnReplaceAll"},
                   {btnCancel, "btnCancel"}});

    connect(btnFindNext, &QPushButton::clicked, this, &TFindTextDialog::findNext);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edtFindText, &QLineEdit::textChanged, this, &TFindTextDialog::UpdateButtons);
    UpdateButtons();
    ApplyLanguage();
}

void TFindTextDialog::ApplyLanguage() {
    setWindowTitle(UiText(btnReplace ? i18n::Text::ReplaceCaption : i18n::Text::FindCaption));
    lblFindText->setText(UiText(i18n::Text::FindWhat));
    chckbxMatchCase->setText(UiText(i18n::Text::MatchCase));
    btnFindNext->setText(UiText(i18n::Text::FindNextButton));
    btnCancel->setText(UiText(i18n::Text::Cancel));
    if (!btnReplace) return;
    lblReplaceText->setText(UiText(i18n::Text::ReplaceWith));
    btnReplace->setText(UiText(i18n::Text::Replace));
    btnReplaceAll->setText(UiText(i18n::Text::ReplaceAll));
}

void TFindTextDialog::UpdateButtons() {
    // Nothing to find without a text, as in the system's dialog.
    const bool any = !edtFindText->text().isEmpty();
    btnFindNext->setEnabled(any);
    for (QPushButton* button : {btnReplace, btnReplaceAll})
        if (button) button->setEnabled(any && replaceAllowed_);
}

void TFindTextDialog::SetReplaceAllowed(bool allowed) {
    replaceAllowed_ = allowed;
    UpdateButtons();
}

QString TFindTextDialog::FindText() const {
    return edtFindText->text();
}

QString TFindTextDialog::ReplaceText() const {
    return edtReplaceText ? edtReplaceText->text() : QString();
}

bool TFindTextDialog::MatchCase() const {
    return chckbxMatchCase->isChecked();
}

void TFindTextDialog::SetFindText(const QString& text) {
    edtFindText->setText(text);
}

void TFindTextDialog::SetReplaceText(const QString& text) {
    if (edtReplaceText) edtReplaceText->setText(text);
}

void TFindTextDialog::SetMatchCase(bool on) {
    chckbxMatchCase->setChecked(on);
}

void TFindTextDialog::Open() {
    show();
    raise();
    activateWindow();
    edtFindText->setFocus();
    edtFindText->selectAll();
}

} // namespace hw::content
