// Colours and fonts of page controls from an element's attributes.
#pragma once

#include "markup/opal_document.h"

#include <QColor>
#include <QPalette>

#include <string>

class QWidget;

namespace hw::markup {

QColor ToQColor(TColor color);

// White, the pages' default, is drawn in the palette's base colour, so that a dark desktop theme gets a
// dark page; other colours are the page's own.
QColor ShownBackground(TColor color, const QPalette& palette);
// text when it stands out from background, else black or white, whichever does.
QColor ReadableOn(const QColor& background, const QColor& text);
// Sets the page's background colour in palette, with a window text colour that can be read on it.
void SetPageColors(QPalette& palette, TColor color);

// The control's background: colour from the color attribute (white by default) in the palette role, or
// the parent's colour when transparent is set; the text on it stays readable.
void ApplyBackground(QWidget& control, const std::string& attributes, QPalette::ColorRole role);
// Face, size in points and text colour from font, fontsize and fontcolor (made readable on the control's
// background); the rest stays the parent's.
void ApplyFont(QWidget& control, const std::string& attributes);

} // namespace hw::markup
