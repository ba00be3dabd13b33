#include "app/window/frm_about.h"

#include "ui/dialog_frame.h"
#include "ui/image_list.h"
#include "ui/ui_text.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace hw::window {

namespace {

// The tenth double click in a row toggles: nine are counted, the tenth finds the counter at nine.
constexpr int kCountedDoubleClicks = 9;

QLabel* NewPanelLabel(const QString& text, QWidget* panel) {
    auto* label = new QLabel(text, panel);
    // Clicks on the texts and the picture count as clicks on the panel.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle(ui::UiText(i18n::Text::AboutTitle));

    pnlMain = new QFrame(this);
    pnlMain->setObjectName("pnlMain");
    pnlMain->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlMain->setFocusPolicy(Qt::ClickFocus);
    pnlMain->installEventFilter(this);

    imgProgram = NewPanelLabel(QString(), pnlMain);
    imgProgram->setObjectName("imgProgram");
    imgProgram->setPixmap(ui::ProgramIcon().pixmap(40, 40));
    lblProduct = NewPanelLabel(QStringLiteral("Torva Hivewright 2.0"), pnlMain);
    lblProduct->setObjectName("lblProduct");
    QFont productFont = lblProduct->font();
    productFont.setBold(true);
    lblProduct->setFont(productFont);
    lblDescription = NewPanelLabel(ui::UiText(i18n::Text::AboutDescription), pnlMain);
    lblDescription->setObjectName("lblDescription");
    lblPlatform = NewPanelLabel(ui::UiText(i18n::Text::AboutOwnStore), pnlMain);
    lblPlatform->setObjectName("lblPlatform");

    auto* lines = new QVBoxLayout;
    lines->addWidget(lblProduct);
    lines->addWidget(lblDescription);
    lines->addWidget(lblPlatform);
    auto* panelLayout = new QHBoxLayout(pnlMain);
    panelLayout->addWidget(imgProgram, 0, Qt::AlignTop);
    panelLayout->addLayout(lines, 1);

    btnOk = ui::NewClosingButton(*this, ui::kImgOk, QStringLiteral("&OK"), QDialog::Accepted);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(pnlMain, 1);
    layout->addLayout(buttons);

    ui::FixDialogSize(*this, QSize(362, 146));
}

void TfrmAbout::pnlMainDblClick() {
    if (doubleClickCount_ < kCountedDoubleClicks) {
        ++doubleClickCount_;
        return;
    }
    doubleClickCount_ = 0;
    keepOpen_ = !keepOpen_;
    emit keepOpenToggled(keepOpen_);
}

void TfrmAbout::pnlMainEnter() {
    doubleClickCount_ = 0;
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pnlMain) {
        if (event->type() == QEvent::MouseButtonDblClick)
            pnlMainDblClick();
        else if (event->type() == QEvent::FocusIn)
            pnlMainEnter();
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmAbout::ApplyLanguage() {
    setWindowTitle(ui::UiText(i18n::Text::AboutCaption));
    lblDescription->setText(ui::UiText(i18n::Text::AboutDescription));
    lblPlatform->setText(ui::UiText(i18n::Text::AboutOwnStore));
    btnOk->setText(ui::UiText(i18n::Text::Ok));
}

void TfrmAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui::CentreOnDesktop(*this);
}

} // namespace hw::window
