#include "app/window/frm_replace_confirm.h"

#include "app/window/dialog_frame.h"
#include "app/window/ui_text.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace hw::window {

namespace {

const QSize kDialogSize(420, 200);

} // namespace

TfrmReplaceConfirm::TfrmReplaceConfirm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Confirm"));
    // A title without buttons: the dialog is answered only by its own buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    lblFound = new QLabel(QStringLiteral("Found item at:"), this);
    lblKey = new QLabel(this);
    lblKey->setWordWrap(true);
    lblKey->setTextFormat(Qt::PlainText);
    scrlbxInfo = new QScrollArea(this);
    lblInfo = new QLabel(scrlbxInfo);
    lblInfo->setTextFormat(Qt::PlainText);
    lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scrlbxInfo->setWidget(lblInfo);
    scrlbxInfo->setWidgetResizable(true);

    btnAll = NewClosingButton(*this, kImgAll, QStringLiteral("&ALL"), All + 1);
    btnYes = NewClosingButton(*this, kImgOk, QStringLiteral("&YES"), Yes + 1);
    btnNo = NewClosingButton(*this, kImgNo, QStringLiteral("&NO"), No + 1);
    btnCancel = NewClosingButton(*this, kImgCancel, QStringLiteral("&Cancel"), Cancel + 1);
    btnAll->hide();
    btnYes->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {btnAll, btnYes, btnNo, btnCancel})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblFound);
    layout->addWidget(lblKey);
    layout->addWidget(scrlbxInfo, 1);
    layout->addLayout(buttons);
    resize(kDialogSize.expandedTo(minimumSizeHint()));
}

TfrmReplaceConfirm::Answer TfrmReplaceConfirm::Ask(const std::string& question, bool showAll) {
    lblKey->setText(QString::fromUtf8(question));
    btnAll->setVisible(showAll);
    const int result = exec();
    // Results are the answers shifted by one, so that 0 (rejected some other way) never reads as one.
    return result >= All + 1 && result <= Cancel + 1 ? Answer(result - 1) : Cancel;
}

void TfrmReplaceConfirm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOnDesktop(*this);
}

void TfrmReplaceConfirm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        btnNo->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmReplaceConfirm::ApplyLanguage() {
    setWindowTitle(UiText(234));
    lblFound->setText(UiText(235));
    btnAll->setText(UiText(11));
    btnYes->setText(UiText(4));
    btnNo->setText(UiText(7));
    btnCancel->setText(UiText(5));
}

} // namespace hw::window
