#include "ui/form_parts.h"

#include <QWidget>

namespace hw::ui {

void NameParts(std::initializer_list<std::pair<QObject*, const char*>> parts) {
    for (const auto& [part, name] : parts)
        if (part) part->setObjectName(QString::fromLatin1(name));
}

void SetTabChain(const std::vector<QWidget*>& widgets) {
    QWidget* previous = nullptr;
    for (QWidget* next : widgets) {
        if (!next) continue;
        if (previous) QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

} // namespace hw::ui
