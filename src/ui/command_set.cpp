#include "ui/command_set.h"

#include "ui/image_list.h"
#include "ui/ui_text.h"

#include <QAction>
#include <QMenu>
#include <QVariant>
#include <QWidget>

#include <stdexcept>
#include <string>

namespace hw::ui {

namespace {

const char* const kCaptionProperty = "hwCaptionText";
const char* const kHintProperty = "hwHintText";

std::optional<i18n::Text> TextProperty(const QObject& object, const char* property) {
    const QVariant number = object.property(property);
    if (!number.isValid()) return std::nullopt;
    return static_cast<i18n::Text>(number.toInt());
}

} // namespace

void SetCaptionText(QAction& action, i18n::Text text) {
    action.setProperty(kCaptionProperty, i18n::TextNumber(text));
    action.setText(UiText(text));
}

void SetHintText(QAction& action, i18n::Text hint) {
    action.setProperty(kHintProperty, i18n::TextNumber(hint));
    action.setToolTip(UiText(hint));
}

void SetTitleText(QMenu& menu, i18n::Text title) {
    menu.setProperty(kCaptionProperty, i18n::TextNumber(title));
    menu.setTitle(UiText(title));
}

std::optional<i18n::Text> CaptionTextOf(const QObject& actionOrMenu) {
    return TextProperty(actionOrMenu, kCaptionProperty);
}

QAction* MakeCommand(QObject& owner, const CommandDescription& command) {
    auto* action = new QAction(&owner);
    action->setObjectName(command.name);
    SetCaptionText(*action, command.text);
    if (command.shortcut) action->setShortcut(QKeySequence(command.shortcut));
    if (command.picture >= 0) action->setIcon(ImageListIcon(command.picture));
    if (command.hint) SetHintText(*action, *command.hint);
    action->setData(command.tag);
    return action;
}

void MakeCommands(QWidget& owner, std::initializer_list<BoundCommand> commands) {
    for (const BoundCommand& command : commands) {
        QAction* action = MakeCommand(owner, command.description);
        QObject::connect(action, &QAction::triggered, &owner, command.run);
        if (command.description.shortcut) owner.addAction(action);
    }
}

QAction& CommandNamed(const QObject& owner, const char* name) {
    auto* action = owner.findChild<QAction*>(name);
    if (!action) throw std::logic_error(std::string("no command named ") + name);
    return *action;
}

void AddMenuItems(QObject& owner, QMenu& menu, std::initializer_list<const char*> items) {
    for (const char* item : items) {
        if (!item)
            menu.addSeparator();
        else if (auto* subMenu = owner.findChild<QMenu*>(item))
            menu.addMenu(subMenu);
        else if (auto* action = owner.findChild<QAction*>(item))
            menu.addAction(action);
        else
            throw std::logic_error(std::string("no command or menu named ") + item);
    }
}

QMenu* MakeMenu(QWidget& owner, const MenuDescription& description) {
    auto* menu = new QMenu(&owner);
    menu->setObjectName(description.name);
    if (description.title) SetTitleText(*menu, *description.title);
    AddMenuItems(owner, *menu, description.items);
    return menu;
}

void ApplyCommandTexts(QObject& owner) {
    for (QAction* action : owner.findChildren<QAction*>()) {
        if (std::optional<i18n::Text> caption = TextProperty(*action, kCaptionProperty))
            action->setText(UiText(*caption));
        if (std::optional<i18n::Text> hint = TextProperty(*action, kHintProperty))
            action->setToolTip(UiText(*hint));
    }
    for (QMenu* menu : owner.findChildren<QMenu*>())
        if (std::optional<i18n::Text> title = TextProperty(*menu, kCaptionProperty))
            menu->setTitle(UiText(*title));
}

} // namespace hw::ui
