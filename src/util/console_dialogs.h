// Message boxes as lines on standard error, for runs without a window.
#pragma once

#include "util/dialog.h"

namespace hw::util {

class ConsoleMessageBoxBackend : public MessageBoxBackend {
  public:
    void Show(MessageKind kind, const std::string& caption, const std::string& text) override;
    // Reads y or n from a terminal; answers No when standard input is not a terminal or at its end.
    bool Ask(const std::string& caption, const std::string& text) override;
};

} // namespace hw::util
