// A form's parts named for tests and users of findChild, and their Tab order set in reading order.
#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

class QObject;
class QWidget;

namespace hw::ui {

// Gives each part its object name; a null part (one the form does not have in this role) is skipped.
void NameParts(std::initializer_list<std::pair<QObject*, const char*>> parts);

// Tab moves from each widget to the next one in the list; null widgets are skipped.
void SetTabChain(const std::vector<QWidget*>& widgets);

} // namespace hw::ui
