#include "platform/qt/qt_message_boxes.h"

#include "platform/qt/title_width.h"

#include <QGridLayout>
#include <QSpacerItem>

namespace hw::platform {

namespace {

// A box is as wide as its text and buttons need; a short text under a long title would get the title
// cut, so a spacer as wide as the title bar needs spans the box's grid.
void FitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    grid->addItem(new QSpacerItem(TitleBarWidth(box), 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(util::MessageKind kind, const std::string& caption,
                                            const std::string& text) {
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(QString::fromStdString(caption));
    box->setText(QString::fromStdString(text));
    // Plain text: messages quote key names and file names, which may hold '<' or '&'.
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    if (kind == util::MessageKind::Question) {
        box->setIcon(QMessageBox::NoIcon);
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No);
    } else {
        box->setIcon(kind == util::MessageKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon);
        box->setStandardButtons(QMessageBox::Ok);
    }
    FitTitle(*box);
    return box;
}

void QtMessageBoxBackend::Show(util::MessageKind kind, const std::string& caption, const std::string& text) {
    MakeMessageBox(kind, caption, text)->exec();
}

bool QtMessageBoxBackend::Ask(const std::string& caption, const std::string& text) {
    auto box = MakeMessageBox(util::MessageKind::Question, caption, text);
    box->exec();
    return box->clickedButton() == box->button(QMessageBox::Yes);
}

util::Answer QtMessageBoxBackend::AskWithCancel(const std::string& caption, const std::string& text) {
    auto box = MakeMessageBox(util::MessageKind::Question, caption, text);
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::Cancel);
    box->exec();
    if (box->clickedButton() == box->button(QMessageBox::Yes)) return util::Answer::Yes;
    if (box->clickedButton() == box->button(QMessageBox::No)) return util::Answer::No;
    return util::Answer::Cancel;
}

void InstallQtMessageBoxes() {
    util::SetMessageBoxBackend(std::make_unique<QtMessageBoxBackend>());
}

} // namespace hw::platform
