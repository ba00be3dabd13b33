#include "util/scripted_dialogs.h"

namespace hw::util {

void ScriptedMessageBoxBackend::Show(MessageKind kind, const std::string& caption, const std::string& text) {
    shown_.push_back({kind, caption, text});
}

bool ScriptedMessageBoxBackend::Ask(const std::string& caption, const std::string& text) {
    shown_.push_back({MessageKind::Question, caption, text});
    if (answers_.empty()) return false;
    bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

Answer ScriptedMessageBoxBackend::AskWithCancel(const std::string& caption, const std::string& text) {
    shown_.push_back({MessageKind::Question, caption, text});
    if (choices_.empty()) return Answer::Cancel;
    const Answer choice = choices_.front();
    choices_.pop_front();
    return choice;
}

ScriptedDialogs::ScriptedDialogs() {
    auto backend = std::make_unique<ScriptedMessageBoxBackend>();
    backend_ = backend.get();
    previous_ = SetMessageBoxBackend(std::move(backend));
}

ScriptedDialogs::~ScriptedDialogs() {
    SetMessageBoxBackend(std::move(previous_));
}

std::vector<std::string> ScriptedDialogs::texts() const {
    std::vector<std::string> result;
    for (const ShownMessage& message : backend_->shown())
        result.push_back(message.text);
    return result;
}

} // namespace hw::util
