#include "app/window/frm_goto.h"

#include "core/key_path.h"
#include "core/root_keys.h"
#include "platform/platform_facts.h"
#include "ui/dialog_frame.h"
#include "ui/ui_text.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace hw::window {

namespace {

constexpr int kRootColumns = 2;

std::vector<HKEY> ChoosableRoots() {
    std::vector<HKEY> roots{HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                            HKEY_CURRENT_CONFIG};
    if (platform::GetPlatformFacts().family == platform::kPlatformWin9x) roots.push_back(HKEY_DYN_DATA);
    return roots;
}

} // namespace

TfrmGoTo::TfrmGoTo(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Go To ..."));

    rdgrpHKey = new QGroupBox(QStringLiteral("&Key Root"), this);
    rdgrpHKey->setObjectName("rdgrpHKey");
    rootButtons_ = new QButtonGroup(this);
    auto* rootGrid = new QGridLayout(rdgrpHKey);
    rootGrid->setContentsMargins(8, 2, 8, 2);
    rootGrid->setVerticalSpacing(0);
    const std::vector<HKEY> roots = ChoosableRoots();
    // Items run down the first column, then the second, as in a two-column radio group.
    const int rows = (static_cast<int>(roots.size()) + kRootColumns - 1) / kRootColumns;
    for (int index = 0; index < static_cast<int>(roots.size()); ++index) {
        auto* button = new QRadioButton(QString::fromStdString(core::RootKeyName(roots[index])), rdgrpHKey);
        rootButtons_->addButton(button, index);
        rootGrid->addWidget(button, index % rows, index / rows);
    }
    rootButtons_->button(1)->setChecked(true);
    connect(rootButtons_, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked) rdgrpHKeyClick(index);
    });

    lblKey = new QLabel(QStringLiteral("Key:"), this);
    lblKey->setObjectName("lblKey");
    edtKey = new QLineEdit(QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion"),
                           this);
    edtKey->setObjectName("edtKey");
    lblKey->setBuddy(edtKey);

    btnOk = ui::NewClosingButton(*this, ui::kImgOk, QStringLiteral("&Go"), QDialog::Accepted);
    btnOk->setObjectName("btnOk");
    btnCancel = ui::NewClosingButton(*this, ui::kImgCancel, QStringLiteral("&Cancel"), QDialog::Rejected);
    btnCancel->setObjectName("btnCancel");
    btnOk->setDefault(true);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->addWidget(rdgrpHKey, 0, 0, 1, 2);
    layout->addLayout(buttons, 0, 2);
    layout->addWidget(lblKey, 1, 0);
    layout->addWidget(edtKey, 1, 1, 1, 2);
    layout->setColumnStretch(1, 1);

    ui::FixDialogSize(*this, QSize(513, 125));
}

std::optional<std::string> TfrmGoTo::ShowForPath() {
    if (exec() != QDialog::Accepted) return std::nullopt;
    return KeyText();
}

std::string TfrmGoTo::KeyText() const {
    return edtKey->text().toStdString();
}

void TfrmGoTo::SetKeyText(const std::string& path) {
    edtKey->setText(QString::fromStdString(path));
}

void TfrmGoTo::SelectRootItem(int index) {
    if (QAbstractButton* button = rootButtons_->button(index)) button->setChecked(true);
}

int TfrmGoTo::RootItemCount() const {
    return static_cast<int>(rootButtons_->buttons().size());
}

std::string TfrmGoTo::RootItemText(int index) const {
    QAbstractButton* button = rootButtons_->button(index);
    return button ? button->text().toStdString() : std::string();
}

void TfrmGoTo::rdgrpHKeyClick(int index) {
    SetKeyText(RootItemText(index) + "\\" + core::SubKeyOrEmpty(KeyText()));
}

void TfrmGoTo::ApplyLanguage() {
    setWindowTitle(ui::UiText(i18n::Text::GoToCaption));
    rdgrpHKey->setTitle(ui::UiText(i18n::Text::GoToKeyRoot));
    lblKey->setText(ui::UiText(i18n::Text::GoToKeyLabel));
    btnOk->setText(ui::UiText(i18n::Text::GoToGo));
    btnCancel->setText(ui::UiText(i18n::Text::Cancel));
}

void TfrmGoTo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui::CentreOnDesktop(*this);
    edtKey->setFocus();
    edtKey->selectAll();
}

} // namespace hw::window
