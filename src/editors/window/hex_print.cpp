#include "editors/window/hex_print.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>

namespace hw::editors {

bool PrintHexLines(QPrinter& printer, const HexDocument& document, const QString& title) {
    printer.setDocName(title);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(9);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const int lineHeight = metrics.lineSpacing();
    const int pageHeight = painter.viewport().height();
    // The title and a blank line head every page.
    const int linesPerPage = std::max(1, pageHeight / lineHeight - 2);
    const std::size_t lines = document.LineCount();
    for (std::size_t line = 0; line < lines; ++line) {
        const int row = static_cast<int>(line % static_cast<std::size_t>(linesPerPage));
        if (row == 0) {
            if (line > 0 && !printer.newPage()) return false;
            painter.drawText(0, metrics.ascent(), title);
        }
        painter.drawText(0, (row + 2) * lineHeight + metrics.ascent(),
                         QString::fromLatin1(document.LineText(line)));
    }
    return painter.end();
}

} // namespace hw::editors
