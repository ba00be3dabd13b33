#include "ui/document_title.h"

#include <QWidget>

namespace hw::ui {

void SetDocumentTitle(QWidget& window, const QString& document, const QString& caption, bool modified) {
    // Qt reads "[*]" as the place of the mark and "[*][*]" as the text itself.
    QString shown = document;
    shown.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    window.setWindowTitle((shown.isEmpty() ? caption : shown + QStringLiteral(" - ") + caption) +
                          QStringLiteral("[*]"));
    window.setWindowModified(modified);
}

} // namespace hw::ui
