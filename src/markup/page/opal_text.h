// Page texts are UTF-8 bytes; they become QString only at the widgets.
#pragma once

#include <QString>

#include <string>

namespace hw::markup {

inline QString Widen(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string Narrow(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace hw::markup
