#include "ui/dialog_frame.h"

#include "platform/qt/title_width.h"
#include "ui/screen_place.h"

#include <QPushButton>
#include <QScreen>

namespace hw::ui {

QPushButton* NewClosingButton(QDialog& dialog, ImageIndex picture, const QString& caption, int result) {
    auto* button = new QPushButton(ImageListIcon(picture), caption, &dialog);
    QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, result] { dialog.done(result); });
    return button;
}

void FixDialogSize(QDialog& dialog, QSize size) {
    const QSize title(platform::TitleBarWidth(dialog), 0);
    dialog.setFixedSize(size.expandedTo(dialog.minimumSizeHint()).expandedTo(title));
}

void CentreOnDesktop(QWidget& window) {
    if (const QScreen* desktop = window.screen()) {
        QRect inner = window.geometry();
        inner.moveCenter(desktop->availableGeometry().center());
        PlaceOnScreen(window, inner);
    }
}

void CentreOver(QWidget& window, const QWidget& over) {
    QRect inner = window.geometry();
    inner.moveCenter(over.geometry().center());
    PlaceOnScreen(window, inner);
}

} // namespace hw::ui
