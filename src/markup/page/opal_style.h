// Colours and fonts of page controls from an element's attributes.
#pragma once

#include "markup/opal_document.h"

#include <QColor>
#include <QPalette>

#include <string>

class QWidget;

namespace hw::markup {

QColor ToQColor(TColor color);

// The control's background: colour from the color attribute (white by default) in the palette role, or
// the parent's colour when transparent is set.
void ApplyBackground(QWidget& control, const std::string& attributes, QPalette::ColorRole role);
// Face, size in points and text colour from font, fontsize and fontcolor; the rest stays the parent's.
void ApplyFont(QWidget& control, const std::string& attributes);

} // namespace hw::markup
