#include "content/window/find_text_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace hw::content {

TFindTextDialog::TFindTextDialog(Kind kind, QWidget* parent) : QDialog(parent) {
    const bool replacing = kind == Kind::Replace;
    setWindowTitle(replacing ? QStringLiteral("Replace") : QStringLiteral("Find"));
    setModal(false);

    lblFindText = new QLabel(QStringLiteral("Fi&nd what:"), this);
    edtFindText = new QLineEdit(this);
    lblFindText->setBuddy(edtFindText);
    chckbxMatchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    btnFindNext = new QPushButton(QStringLiteral("&Find Next"), this);
    btnFindNext->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);

    auto* fields = new QGridLayout;
    fields->addWidget(lblFindText, 0, 0);
    fields->addWidget(edtFindText, 0, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnFindNext);
    if (replacing) {
        lblReplaceText = new QLabel(QStringLiteral("Re&place with:"), this);
        edtReplaceText = new QLineEdit(this);
        lblReplaceText->setBuddy(edtReplaceText);
        fields->addWidget(lblReplaceText, 1, 0);
        fields->addWidget(edtReplaceText, 1, 1);
        btnReplace = new QPushButton(QStringLiteral("&Replace"), this);
        btnReplaceAll = new QPushButton(QStringLiteral("Replace &All"), this);
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
    QWidget* previous = edtFindText;
    for (QWidget* next : std::initializer_list<QWidget*>{edtReplaceText, chckbxMatchCase, btnFindNext,
                                                         btnReplace, btnReplaceAll, btnCancel}) {
        if (!next) continue;
        setTabOrder(previous, next);
        previous = next;
    }

    connect(btnFindNext, &QPushButton::clicked, this, &TFindTextDialog::findNext);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edtFindText, &QLineEdit::textChanged, this, &TFindTextDialog::UpdateButtons);
    UpdateButtons();
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
