#include "search/window/search_animation.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace hw::window {

namespace {

constexpr int kFrameMilliseconds = 80;
constexpr int kFramesPerTurn = 16;

} // namespace

SearchAnimation::SearchAnimation(QWidget* parent) : QWidget(parent) {
    setFixedSize(SearchAnimation::sizeHint());
    hide();
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % kFramesPerTurn;
        update();
    });
}

void SearchAnimation::Start() {
    frame_ = 0;
    show();
    timer_.start(kFrameMilliseconds);
}

void SearchAnimation::Stop() {
    timer_.stop();
    hide();
}

void SearchAnimation::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor folder(230, 190, 80);
    painter.setPen(folder.darker(140));
    painter.setBrush(folder);
    painter.drawRect(QRectF(6, 12, 30, 20));
    painter.drawRect(QRectF(6, 8, 12, 4));

    const double angle = 2 * std::numbers::pi * frame_ / kFramesPerTurn;
    const QPointF centre(26 + 8 * std::cos(angle), 17 + 6 * std::sin(angle));
    painter.setPen(QPen(QColor(60, 60, 60), 2));
    painter.drawLine(centre + QPointF(5, 5), centre + QPointF(10, 10));
    painter.setBrush(QColor(200, 230, 255, 200));
    painter.drawEllipse(centre, 7, 7);
}

} // namespace hw::window
