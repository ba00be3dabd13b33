#include "app/window/frm_current_key.h"

#include "core/key_path.h"
#include "platform/qt/byte_text.h"
#include "ui/dialog_frame.h"
#include "ui/ui_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace hw::window {

namespace {

QLineEdit* NewReadOnlyEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    return edit;
}

QString Bracketed(const std::string& text) {
    return platform::ShownText("[" + text + "]");
}

} // namespace

TfrmCurrentKey::TfrmCurrentKey(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Current Key"));

    lblShortName = new QLabel(QStringLiteral("Key short name:"), this);
    lblShortName->setObjectName("lblShortName");
    edtShortName = NewReadOnlyEdit(this);
    edtShortName->setObjectName("edtShortName");
    lblLongName = new QLabel(QStringLiteral("Key long name:"), this);
    lblLongName->setObjectName("lblLongName");
    edtLongName = NewReadOnlyEdit(this);
    edtLongName->setObjectName("edtLongName");
    lblReadPath = new QLabel(QStringLiteral("Real Path:"), this);
    lblReadPath->setObjectName("lblReadPath");
    mmRealPath = new QPlainTextEdit(this);
    mmRealPath->setObjectName("mmRealPath");
    mmRealPath->setReadOnly(true);
    mmRealPath->setLineWrapMode(QPlainTextEdit::NoWrap);
    lblShortName->setBuddy(edtShortName);
    lblLongName->setBuddy(edtLongName);
    lblReadPath->setBuddy(mmRealPath);

    btnOk = ui::NewClosingButton(*this, ui::kImgOk, QStringLiteral("&OK"), QDialog::Accepted);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{lblShortName, edtShortName, lblLongName, edtLongName, lblReadPath})
        layout->addWidget(widget);
    layout->addWidget(mmRealPath, 1);
    layout->addLayout(buttons);

    ui::FixDialogSize(*this, QSize(562, 288));
}

void TfrmCurrentKey::SetKeyPath(const std::string& keyPath) {
    edtShortName->setText(platform::ShownText(core::SubKeyOrEmpty(keyPath)));
    edtLongName->setText(Bracketed(keyPath));
    mmRealPath->setPlainText(Bracketed(core::RealKeyPath(keyPath)));
}

void TfrmCurrentKey::ShowFor(const std::string& keyPath) {
    SetKeyPath(keyPath);
    exec();
}

void TfrmCurrentKey::ApplyLanguage() {
    setWindowTitle(ui::UiText(i18n::Text::CurrentKeyCaption));
    lblShortName->setText(ui::UiText(i18n::Text::KeyShortName));
    lblLongName->setText(ui::UiText(i18n::Text::KeyLongName));
    lblReadPath->setText(ui::UiText(i18n::Text::RealPath));
    btnOk->setText(ui::UiText(i18n::Text::Ok));
}

} // namespace hw::window
