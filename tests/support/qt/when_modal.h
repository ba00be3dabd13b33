// Acting on a modal dialog from inside its own event loop.
#pragma once

#include <functional>

class QWidget;

namespace hw::test {

// Runs action on the next modal widget to be shown (polling from the event loop), once.
void WhenModal(std::function<void(QWidget* modal)> action);

} // namespace hw::test
