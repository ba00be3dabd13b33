// Message boxes for tests: every box shown is recorded and questions are answered from a queue.
#pragma once

#include "util/dialog.h"

#include <deque>
#include <string>
#include <vector>

namespace hw::util {

struct ShownMessage {
    MessageKind kind;
    std::string caption;
    std::string text;
};

class ScriptedMessageBoxBackend : public MessageBoxBackend {
  public:
    void Show(MessageKind kind, const std::string& caption, const std::string& text) override;
    // Records a Question and answers with the next queued answer, No when the queue is empty.
    bool Ask(const std::string& caption, const std::string& text) override;
    // Records a Question and answers with the next queued choice, Cancel when the queue is empty.
    Answer AskWithCancel(const std::string& caption, const std::string& text) override;

    void QueueAnswer(bool yes) { answers_.push_back(yes); }
    void QueueChoice(Answer choice) { choices_.push_back(choice); }
    const std::vector<ShownMessage>& shown() const { return shown_; }
    void ClearShown() { shown_.clear(); }

  private:
    std::vector<ShownMessage> shown_;
    std::deque<bool> answers_;
    std::deque<Answer> choices_;
};

// Installs a scripted back-end for its lifetime and puts the previous one back afterwards.
//   ScriptedDialogs dialogs;
//   dialogs.QueueAnswer(true);
//   ... code under test ...
//   EXPECT_EQ(dialogs.shown().at(0).text, "Import success!");
class ScriptedDialogs {
  public:
    ScriptedDialogs();
    ~ScriptedDialogs();
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    void QueueAnswer(bool yes) { backend_->QueueAnswer(yes); }
    void QueueChoice(Answer choice) { backend_->QueueChoice(choice); }
    const std::vector<ShownMessage>& shown() const { return backend_->shown(); }
    void ClearShown() { backend_->ClearShown(); }
    // The texts of every box shown so far, in order.
    std::vector<std::string> texts() const;

  private:
    ScriptedMessageBoxBackend* backend_;
    std::unique_ptr<MessageBoxBackend> previous_;
};

} // namespace hw::util
