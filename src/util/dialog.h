// The three message boxes through which the program speaks to the user, all captioned "System Notify".
// What shows them is a replaceable back-end: the console by default, the Qt boxes in the window program,
// a scripted one in tests (util/scripted_dialogs.h).
#pragma once

#include <memory>
#include <string>

namespace hw::util {

inline constexpr const char* kMessageBoxCaption = "System Notify";

enum class MessageKind {
    Error,    // stop icon, OK button
    Notice,   // no icon, OK button
    Question, // no icon, Yes and No buttons
};

enum class Answer { Yes, No, Cancel };

// A back-end shows modal, top-most boxes with no owner window.
class MessageBoxBackend {
  public:
    virtual ~MessageBoxBackend() = default;
    // kind is Error or Notice: the box has one OK button.
    virtual void Show(MessageKind kind, const std::string& caption, const std::string& text) = 0;
    // A Question box: true only when Yes was chosen (No or closing the box give false).
    virtual bool Ask(const std::string& caption, const std::string& text) = 0;
    // A question with Yes, No and Cancel buttons; back-ends without a Cancel answer Yes or No.
    virtual Answer AskWithCancel(const std::string& caption, const std::string& text) {
        return Ask(caption, text) ? Answer::Yes : Answer::No;
    }
};

// Installs backend and returns the one it replaces; nullptr installs the console back-end.
std::unique_ptr<MessageBoxBackend> SetMessageBoxBackend(std::unique_ptr<MessageBoxBackend> backend);

void ErrorBox(const std::string& text);
void NoticeBox(const std::string& text);
bool AskYesNo(const std::string& text);
// A Yes/No/Cancel question with its own caption.
Answer AskYesNoCancel(const std::string& caption, const std::string& text);

} // namespace hw::util
