// What the Find window asks of the window that opens it: to go to a result, to open one in its editor and
// to fill its clipboards. Changes to the registry reach every window through the change feed instead.
#pragma once

#include "app/clipboards.h"
#include "app/value_rows.h"

#include <functional>
#include <string>
#include <vector>

namespace hw::window {

struct FindWindowHost {
    // Selects the key, and the value unless valueName is absent; false when the key is not there.
    std::function<bool(const std::string& keyPath, const std::string* valueName)> goTo;
    std::function<void(const std::string& keyPath)> showKeyContent;
    // The value in its editor; true once saved.
    std::function<bool(const app::TViewData& record)> editValue;
    std::function<void(const std::string& keyPath)> copyKey;
    // Replaces the value clipboard's entries, in list order.
    std::function<void(const std::vector<app::TValueCopyData>& entries)> copyValues;
};

} // namespace hw::window
