// Printing a byte sequence as the hex editor shows it: address, byte text and characters, 16 bytes a line,
// in a fixed-pitch font, under a title on every page, wrapped where the page is narrower than a line.
#pragma once

#include "editors/hex_document.h"

#include <QString>

class QPrinter;

namespace hw::editors {

bool PrintHexLines(QPrinter& printer, const HexDocument& document, const QString& title);

} // namespace hw::editors
