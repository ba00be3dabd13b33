// Pieces every small dialog is built from: closing buttons with their pictures, a fixed size, centring.
#pragma once

#include "ui/image_list.h"

#include <QDialog>

class QPushButton;

namespace hw::ui {

// A button with a picture of the shared list that closes the dialog with result: Accepted, Rejected or
// a dialog's own code (an int, since QDialog::DialogCode holds only the first two).
QPushButton* NewClosingButton(QDialog& dialog, ImageIndex picture, const QString& caption, int result);

// Fixes the dialog at size, grown where the fonts need more room so that nothing is clipped, the title
// included: set the title first.
void FixDialogSize(QDialog& dialog, QSize size);

// Moves the window to the middle of its screen, its title bar kept on it.
void CentreOnDesktop(QWidget& window);

// Moves the window over the middle of another (the one it was opened from), kept on screen.
void CentreOver(QWidget& window, const QWidget& over);

} // namespace hw::ui
