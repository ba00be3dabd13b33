// Pieces the value editors share: the read-only name box and labels that focus their control when clicked.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

#include <string>

class QLabel;
class QLineEdit;
class QWidget;

namespace hw::editors {

// A single-line, read-only edit on a cream background, for the value's name.
QLineEdit* NewNameEdit(QWidget* parent);

// The cream of read-only fields and side columns on a light palette; on a dark one the palette's
// alternate base, so that its light text stays readable.
QColor CreamOf(const QPalette& palette);

// Clicking label moves the keyboard focus to target.
void FocusOnClick(QLabel* label, QWidget* target);

// Registry text is UTF-8; bytes that are not valid UTF-8 are shown one character per byte, so none is lost.
QString DecodeText(const std::string& bytes);

} // namespace hw::editors
