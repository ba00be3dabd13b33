#include "ui/flat_panel_button.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace hw::ui {

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
    if (frameStyle == this->frameStyle()) return;
    setFrameStyle(frameStyle);
    update();
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

void FlatPanelButton::paintEvent(QPaintEvent*) {
    if (frameShape() == QFrame::NoFrame) return;
    // A thin panel bevel is invisible in most styles; the style's own button look reads as a button.
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= frameShadow() == QFrame::Sunken ? QStyle::State_Sunken : QStyle::State_Raised;
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, this);
}

void FlatPanelButton::leaveEvent(QEvent*) {
    if (!pressed_) ShowFlat();
}

} // namespace hw::ui
