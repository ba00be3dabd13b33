#include "editors/window/number_edit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

namespace hw::editors {

NumberEdit::NumberEdit(QWidget* parent) : QLineEdit(parent) {
    // A drop would insert text no rule has seen.
    setAcceptDrops(false);
}

void NumberEdit::PasteFiltered(const QString& text) {
    for (const QChar c : text) {
        const char latin = c.toLatin1();
        if (c.unicode() < 128 && KeystrokeAllowed(base_, this->text().toStdString(), latin))
            insert(QString(c));
    }
}

void NumberEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit enterPressed();
        return;
    case Qt::Key_Escape:
        emit escapePressed();
        return;
    default:
        break;
    }
    if (event->matches(QKeySequence::Paste)) {
        PasteFiltered(QGuiApplication::clipboard()->text());
        return;
    }
    const QString typed = event->text();
    const bool character = typed.size() == 1 && typed.front().isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (character) {
        PasteFiltered(typed);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void NumberEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        if (action->objectName() != QLatin1String("edit-paste")) continue;
        // The standard paste is replaced by the filtered one.
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        connect(action, &QAction::triggered, this,
                [this] { PasteFiltered(QGuiApplication::clipboard()->text()); });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

} // namespace hw::editors
