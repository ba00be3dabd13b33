#include "editors/window/hex_print.h"

#include "ui/text_print.h"

namespace hw::editors {

bool PrintHexLines(QPrinter& printer, const HexDocument& document, const QString& title) {
    return ui::PrintLines(
        printer, title, document.LineCount(),
        [&document](std::size_t line) { return QString::fromLatin1(document.LineText(line)); },
        ui::PrintFont());
}

} // namespace hw::editors
