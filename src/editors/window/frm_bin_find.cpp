#include "editors/window/frm_bin_find.h"

#include "core/value_text.h"
#include "editors/window/button_pictures.h"
#include "i18n/text_table.h"
#include "ui/form_parts.h"
#include "ui/ui_text.h"
#include "util/text.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

namespace hw::editors {

namespace {

std::string ByteText(const std::string& bytes) {
    return core::BytesToHex(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size(), ' ');
}

} // namespace

TfrmBinFind::TfrmBinFind(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Find"));
    lblText = new QLabel(QStringLiteral("Text:"), this);
    edtText = new QLineEdit(this);
    lblHex = new QLabel(QStringLiteral("Hex:"), this);
    edtHex = new QLineEdit(this);
    lblText->setBuddy(edtText);
    lblHex->setBuddy(edtHex);
    btnFind = new QPushButton(QStringLiteral("&Find"), this);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnFind->setDefault(true);
    connect(btnFind, &QPushButton::clicked, this, [this] {
        edtHex->setText(QString::fromStdString(SearchText()));
        accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edtText, &QLineEdit::textChanged, this, [this] { edtTextChange(); });
    edtHex->installEventFilter(this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(lblText, 0, 0);
    layout->addWidget(edtText, 0, 1);
    layout->addWidget(lblHex, 1, 0);
    layout->addWidget(edtHex, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnFind);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    setMinimumWidth(360);
    ui::NameParts({{lblText, "lblText"},
                   {edtText, "edtText"},
                   {lblHex, "lblHex"},
                   {edtHex, "edtHex"},
                   {btnFind, "btnFind"},
                   {btnCancel, "btnCancel"}});
}

void TfrmBinFind::HideCancel() {
    btnCancel->hide();
}

std::string TfrmBinFind::SearchText() const {
    return util::TrimBlanks(edtHex->text().toStdString());
}

void TfrmBinFind::ApplyLanguage() {
    setWindowTitle(ui::UiText(i18n::Text::BinaryFindCaption));
    lblText->setText(ui::UiText(i18n::Text::BinaryFindText));
    lblHex->setText(ui::UiText(i18n::Text::BinaryFindHex));
    btnFind->setText(ui::UiText(i18n::Text::Find));
    btnCancel->setText(ui::UiText(i18n::Text::Cancel));
}

void TfrmBinFind::showEvent(QShowEvent* event) {
    if (!picturesLoaded_) {
        btnFind->setIcon(ButtonPicture(kPictureFind));
        btnCancel->setIcon(ButtonPicture(kPictureCancel));
        picturesLoaded_ = true;
    }
    QDialog::showEvent(event);
}

void TfrmBinFind::edtTextChange() {
    if (textRuleOn_) edtHex->setText(QString::fromStdString(ByteText(edtText->text().toStdString())));
}

void TfrmBinFind::TidyHexBox() {
    std::string text = edtHex->text().toStdString();
    while (text.find("  ") != std::string::npos)
        text = util::ReplaceText(text, "  ", " ", false);
    std::vector<BYTE> bytes((text.size() + 1) / 3);
    std::size_t count = bytes.size();
    core::HexToBytes(text, bytes.data(), count);
    const std::string read(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
    textRuleOn_ = false;
    edtHex->setText(QString::fromStdString(ByteText(read)));
    edtText->setText(QString::fromUtf8(read.c_str())); // up to the first zero byte
    textRuleOn_ = true;
}

bool TfrmBinFind::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edtHex || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    if (typed.isEmpty() || !typed[0].isPrint() || (key->modifiers() & Qt::ControlModifier)) return false;
    if (typed == QLatin1String(" ")) TidyHexBox();
    edtHex->insert(typed.toUpper());
    return true;
}

} // namespace hw::editors
