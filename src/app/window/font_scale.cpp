#include "app/window/font_scale.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace hw::window {

namespace {

// The designed widths suit a font whose letters average 5.3 pixels; wider fonts scale them. The average
// over the alphabet, not the font's own average character, is what text in the window really takes.
constexpr double kDesignLetterWidth = 5.3;
const char* const kAlphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

} // namespace

double FontScale(const QWidget& widget) {
    const double letterWidth = widget.fontMetrics().horizontalAdvance(kAlphabet) / 52.0;
    return std::max(1.0, letterWidth / kDesignLetterWidth);
}

} // namespace hw::window
