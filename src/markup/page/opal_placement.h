// Placing page controls: position and size from the element's attributes, "full" sizes that follow the
// parent, and alignment to a side of the parent.
#pragma once

#include "markup/opal_document.h"

class QSize;
class QWidget;

namespace hw::markup {

// Marks the widget that holds a page's top-level controls inside its scrolling view.
void MarkViewCanvas(QWidget& canvas);
// The area a control is placed in: a panel's own size, or for top-level controls the visible view.
QSize ParentAreaSize(const QWidget& control);

// Applies align, left, top, width and height; each step that has no usable value leaves its property.
void PlaceControl(const TOPALElement& element, QWidget& control);
// Re-applies only the sizes given as "full" (controls with an alignment keep theirs).
void RefitControl(const TOPALElement& element, QWidget& control);

// Lays out the aligned children of a container in docking order: top, bottom, left, right, then client
// in the space left (each side in creation order). Children without an alignment stay where they are.
void DockChildren(QWidget& container, const QSize& area);
// Docks the container's children whenever it is resized (panels); the view docks its own.
void DockOnResize(QWidget& container);

} // namespace hw::markup
