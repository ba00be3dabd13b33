// A window's commands and menus made from one description each; the action or menu keeps its text
// numbers, so applying a language sets every caption and hint again from the same numbers.
#pragma once

#include "i18n/text_id.h"

#include <functional>
#include <initializer_list>
#include <optional>

class QAction;
class QMenu;
class QObject;
class QWidget;

namespace hw::ui {

struct CommandDescription {
    const char* name;
    i18n::Text text;
    const char* shortcut = nullptr;
    int picture = -1;
    std::optional<i18n::Text> hint = std::nullopt;
    int tag = 0;
};

// Items name commands or menus already made under the same owner; a null item is a separator.
struct MenuDescription {
    const char* name;
    std::optional<i18n::Text> title;
    std::initializer_list<const char*> items;
};

// A command with what it runs.
struct BoundCommand {
    CommandDescription description;
    std::function<void()> run;
};

QAction* MakeCommand(QObject& owner, const CommandDescription& command);
// Makes each command under owner, running its handler when triggered; one with a shortcut also works
// while its menu is closed.
void MakeCommands(QWidget& owner, std::initializer_list<BoundCommand> commands);
// The command of that name made under owner; a missing one is a programming error (std::logic_error).
QAction& CommandNamed(const QObject& owner, const char* name);
QMenu* MakeMenu(QWidget& owner, const MenuDescription& menu);
// Fills menu with the named commands and menus of owner, a null name adding a separator.
void AddMenuItems(QObject& owner, QMenu& menu, std::initializer_list<const char*> items);

// Gives text a caption from the table now and whenever ApplyCommandTexts runs (hint: its tool tip).
void SetCaptionText(QAction& action, i18n::Text text);
void SetHintText(QAction& action, i18n::Text hint);
void SetTitleText(QMenu& menu, i18n::Text title);
// The text number a caption or title came from; none for one made without a number.
std::optional<i18n::Text> CaptionTextOf(const QObject& actionOrMenu);

// Sets every caption, hint and title of owner's actions and menus from their text numbers.
void ApplyCommandTexts(QObject& owner);

} // namespace hw::ui
