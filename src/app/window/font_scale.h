// How much wider than the designed layout's font the widget's font is, for sizes given in design pixels.
#pragma once

class QWidget;

namespace hw::window {

// At least 1: the designed sizes never shrink.
double FontScale(const QWidget& widget);

} // namespace hw::window
