// A text of the text table, for a widget.
#pragma once

#include "i18n/text_table.h"

#include <QString>

namespace hw::ui {

inline QString UiText(i18n::Text text) {
    return QString::fromStdString(i18n::LookupText(text));
}

} // namespace hw::ui
