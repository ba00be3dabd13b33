#include "app/window/flat_panel_button.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>

namespace hw::window {

FlatPanelButton::FlatPanelButton(const QString& caption, const QMargins& inner, QWidget* parent)
    : QFrame(parent), label_(new QLabel(caption, this)), inner_(inner) {
    setLineWidth(1);
    ShowFlat();
    setMouseTracking(true);
    label_->setAlignment(Qt::AlignCenter);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->addWidget(label_);
}

void FlatPanelButton::SetLook(int frameStyle, int margin) {
    setFrameStyle(frameStyle);
    setContentsMargins(margin, margin, margin, margin);
}

void FlatPanelButton::SetCaption(const QString& caption) {
    label_->setText(caption);
}

QString FlatPanelButton::Caption() const {
    return label_->text();
}

bool FlatPanelButton::InInnerArea(const QPoint& pos) const {
    return pos.x() >= inner_.left() && pos.x() < width() - inner_.right() && pos.y() > inner_.top() &&
           pos.y() < height() - inner_.bottom();
}

void FlatPanelButton::mousePressEvent(QMouseEvent* event) {
    pressed_ = true;
    ShowSunken();
    event->accept();
}

void FlatPanelButton::mouseReleaseEvent(QMouseEvent* event) {
    pressed_ = false;
    ShowFlat();
    event->accept();
    if (rect().contains(event->position().toPoint())) emit released(event->globalPosition().toPoint());
}

void FlatPanelButton::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_) return;
    if (InInnerArea(event->position().toPoint()))
        ShowRaised();
    else
        ShowFlat();
}

void FlatPanelButton::leaveEvent(QEvent*) {
    if (!pressed_) ShowFlat();
}

} // namespace hw::window
