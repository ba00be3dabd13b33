// For benchmarks of windows: what the user would see is drawn before the clock stops.
#pragma once

#include <QApplication>
#include <QWidget>

namespace hw::bench {

// Lets pending events run, then draws the widget at once.
inline void PaintNow(QWidget* widget) {
    QApplication::processEvents();
    widget->repaint();
}

} // namespace hw::bench
