// A text of the text table, for a widget.
#pragma once

#include "i18n/text_table.h"

#include <QString>

namespace hw::ui {

inline QString UiText(i18n::Text text) {
    return QString::fromStdString(i18n::LookupText(text));
}

// A file dialog's filter: the kind of file in the program's language, then its patterns ("Text file
// (*.txt)").
inline QString FileFilter(i18n::Text kind, const QString& patterns) {
    return UiText(kind) + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

} // namespace hw::ui
