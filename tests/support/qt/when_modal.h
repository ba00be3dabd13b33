// Acting on a modal dialog from inside its own event loop.
#pragma once

#include <functional>

class QWidget;

namespace hw::test {

// Runs action once on the next modal widget shown (polled from the event loop), when it is the active
// window. Queue one call per dialog the code under test will show.
void WhenModal(std::function<void(QWidget* modal)> action);

} // namespace hw::test
