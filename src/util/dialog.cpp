#include "util/dialog.h"

#include "util/console_dialogs.h"

namespace hw::util {

namespace {

std::unique_ptr<MessageBoxBackend>& Backend() {
    static std::unique_ptr<MessageBoxBackend> backend = std::make_unique<ConsoleMessageBoxBackend>();
    return backend;
}

} // namespace

std::unique_ptr<MessageBoxBackend> SetMessageBoxBackend(std::unique_ptr<MessageBoxBackend> backend) {
    if (!backend) backend = std::make_unique<ConsoleMessageBoxBackend>();
    Backend().swap(backend);
    return backend;
}

void ErrorBox(const std::string& text) {
    Backend()->Show(MessageKind::Error, kMessageBoxCaption, text);
}

void NoticeBox(const std::string& text) {
    Backend()->Show(MessageKind::Notice, kMessageBoxCaption, text);
}

bool AskYesNo(const std::string& text) {
    return Backend()->Ask(kMessageBoxCaption, text);
}

Answer AskYesNoCancel(const std::string& caption, const std::string& text) {
    return Backend()->AskWithCancel(caption, text);
}

} // namespace hw::util
