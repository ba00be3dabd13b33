#include "ui/text_print.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextLayout>

namespace hw::ui {

QStringList WrapLine(const QString& line, const QFont& font, QPaintDevice* device, qreal width) {
    QTextLayout layout(line, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList rows;
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLineWidth(width);
        rows.push_back(line.mid(row.textStart(), row.textLength()));
    }
    layout.endLayout();
    return rows;
}

bool PrintLines(QPrinter& printer, const QString& title, std::size_t count, const LineAt& lineAt,
                const QFont& font) {
    printer.setDocName(title);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const int lineHeight = metrics.lineSpacing();
    const int pageWidth = painter.viewport().width();
    // The title and a blank line head every page.
    const int rowsPerPage = std::max(1, painter.viewport().height() / lineHeight - 2);
    int row = rowsPerPage;
    bool firstPage = true;
    const auto drawRow = [&](const QString& text) {
        if (row == rowsPerPage) {
            if (!firstPage && !printer.newPage()) return false;
            firstPage = false;
            painter.drawText(0, metrics.ascent(), title);
            row = 0;
        }
        painter.drawText(0, (row + 2) * lineHeight + metrics.ascent(), text);
        ++row;
        return true;
    };
    for (std::size_t index = 0; index < count; ++index)
        for (const QString& text : WrapLine(lineAt(index), font, &printer, pageWidth))
            if (!drawRow(text)) return false;
    if (firstPage && !drawRow({})) return false; // an empty text still prints its title
    return painter.end();
}

QFont PrintFont() {
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(9);
    return font;
}

bool PrintWithPreview(QWidget* parent, const QString& title, const std::function<void(QPrinter&)>& print) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&print](QPrinter* target) { print(*target); });
    return preview.exec() == QDialog::Accepted;
}

} // namespace hw::ui
