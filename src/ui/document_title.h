// The title of a window that edits one thing: "thing - Caption", with Qt's modified mark while there are
// changes not yet saved or written.
#pragma once

#include <QString>

class QWidget;

namespace hw::ui {

// document may be empty (the caption alone); a "[*]" inside it is shown as it is.
void SetDocumentTitle(QWidget& window, const QString& document, const QString& caption, bool modified);

} // namespace hw::ui
