// Printing text line by line: every page headed by the document's title, lines longer than the page
// wrapped onto the next rows, never cut at the page's edge. The print dialog shows a preview first.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>

class QPaintDevice;
class QPrinter;
class QWidget;

namespace hw::ui {

// The rows a line takes on a page width wide (in device pixels of device): broken at a blank where one
// fits, anywhere otherwise. Joined they give the line back.
QStringList WrapLine(const QString& line, const QFont& font, QPaintDevice* device, qreal width);

using LineAt = std::function<QString(std::size_t index)>;

// Prints count lines, asked for one at a time, in font; false when the printer failed.
bool PrintLines(QPrinter& printer, const QString& title, std::size_t count, const LineAt& lineAt,
                const QFont& font);

// The fixed-pitch font printouts of registry text use.
QFont PrintFont();

// Shows the print preview of what print draws, from which the user prints or cancels; false when
// cancelled.
bool PrintWithPreview(QWidget* parent, const QString& title, const std::function<void(QPrinter&)>& print);

} // namespace hw::ui
