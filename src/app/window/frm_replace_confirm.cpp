#include "app/window/frm_replace_confirm.h"

#include "ui/dialog_frame.h"
#include "ui/ui_text.h"

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
    lblFound->setObjectName("lblFound");
    lblKey = new QLabel(this);
    lblKey->setObjectName("lblKey");
    lblKey->setWordWrap(true);
    lblKey->setTextFormat(Qt::PlainText);
    scrlbxInfo = new QScrollArea(this);
    scrlbxInfo->setObjectName("scrlbxInfo");
    lblInfo = new QLabel(scrlbxInfo);
    lblInfo->setObjectName("lblInfo");
    lblInfo->setTextFormat(Qt::PlainText);
    lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scrlbxInfo->setWidget(lblInfo);
    scrlbxInfo->setWidgetResizable(true);

    btnAll = ui::NewClosingButton(*this, ui::kImgAll, QStringLiteral("&ALL"), All + 1);
    btnAll->setObjectName("btnAll");
    btnYes = ui::NewClosingButton(*this, ui::kImgOk, QStringLiteral("&YES"), Yes + 1);
    btnYes->setObjectName("btnYes");
    btnNo = ui::NewClosingButton(*this, ui::kImgNo, QStringLiteral("&NO"), No + 1);
    btnNo->setObjectName("btnNo");
    btnCancel = ui::NewClosingButton(*this, ui::kImgCancel, QStringLiteral("&Cancel"), Cancel + 1);
    btnCancel->setObjectName("btnCancel");
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
    ui::CentreOnDesktop(*this);
}

void TfrmReplaceConfirm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        btnNo->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmReplaceConfirm::ApplyLanguage() {
    setWindowTitle(ui::UiText(i18n::Text::ConfirmCaption));
    lblFound->setText(ui::UiText(i18n::Text::FoundItemAt));
    btnAll->setText(ui::UiText(i18n::Text::All));
    btnYes->setText(ui::UiText(i18n::Text::Yes));
    btnNo->setText(ui::UiText(i18n::Text::No));
    btnCancel->setText(ui::UiText(i18n::Text::Cancel));
}

} // namespace hw::window
