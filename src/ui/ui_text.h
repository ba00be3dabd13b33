// A text of the text table, for a widget.
#pragma once

#include "i18n/text_table.h"

#include <QString>

namespace hw::ui {

inline QString UiText(int number) {
    return QString::fromStdString(i18n::LookupText(number));
}

} // namespace hw::ui
