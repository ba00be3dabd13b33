// The message boxes of the window program: Qt message boxes, top-most and application-modal.
#pragma once

#include "util/dialog.h"

#include <QMessageBox>

namespace hw::platform {

class QtMessageBoxBackend : public util::MessageBoxBackend {
  public:
    void Show(util::MessageKind kind, const std::string& caption, const std::string& text) override;
    bool Ask(const std::string& caption, const std::string& text) override;
    util::Answer AskWithCancel(const std::string& caption, const std::string& text) override;
};

// Builds the box the back-end shows (for tests: inspect it, or run it with exec()).
std::unique_ptr<QMessageBox> MakeMessageBox(util::MessageKind kind, const std::string& caption,
                                            const std::string& text);

// Makes ErrorBox, NoticeBox and AskYesNo show Qt message boxes; call once a QApplication exists.
void InstallQtMessageBoxes();

} // namespace hw::platform
