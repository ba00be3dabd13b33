#include "util/dialog.h"
#include "util/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace hw::util {
namespace {

TEST(DialogTest, BoxesCarryTheFixedCaptionAndTheirKind) {
    ScriptedDialogs dialogs;
    ErrorBox("bad");
    NoticeBox("fine");
    AskYesNo("sure?");
    ASSERT_EQ(dialogs.shown().size(), 3u);
    EXPECT_EQ(dialogs.shown()[0].kind, MessageKind::Error);
    EXPECT_EQ(dialogs.shown()[1].kind, MessageKind::Notice);
    EXPECT_EQ(dialogs.shown()[2].kind, MessageKind::Question);
    for (const ShownMessage& message : dialogs.shown())
        EXPECT_EQ(message.caption, "System Notify");
    EXPECT_EQ(dialogs.texts(), (std::vector<std::string>{"bad", "fine", "sure?"}));
}

TEST(DialogTest, AskYesNoAnswersFromTheQueueThenNo) {
    ScriptedDialogs dialogs;
    dialogs.QueueAnswer(true);
    dialogs.QueueAnswer(false);
    EXPECT_TRUE(AskYesNo("1"));
    EXPECT_FALSE(AskYesNo("2"));
    EXPECT_FALSE(AskYesNo("3"));
}

TEST(DialogTest, ScriptedDialogsRestoreThePreviousBackend) {
    ScriptedDialogs outer;
    {
        ScriptedDialogs inner;
        NoticeBox("inner");
        EXPECT_EQ(inner.texts(), std::vector<std::string>{"inner"});
    }
    NoticeBox("outer");
    EXPECT_EQ(outer.texts(), std::vector<std::string>{"outer"});
}

// Runs fn with standard input taken from an empty pipe and standard error captured.
template <typename Fn> std::string WithPipedStdin(Fn fn) {
    int in[2];
    EXPECT_EQ(pipe(in), 0);
    close(in[1]);
    int savedIn = dup(STDIN_FILENO);
    dup2(in[0], STDIN_FILENO);
    close(in[0]);
    testing::internal::CaptureStderr();
    fn();
    std::string err = testing::internal::GetCapturedStderr();
    dup2(savedIn, STDIN_FILENO);
    close(savedIn);
    return err;
}

TEST(DialogTest, ConsoleBackendWritesCaptionedLinesAndAnswersNoWithoutTerminal) {
    SetMessageBoxBackend(nullptr);
    bool answer = true;
    std::string err = WithPipedStdin([&] {
        ErrorBox("Delete key failed!");
        answer = AskYesNo("Sure to delete selected item?");
    });
    EXPECT_FALSE(answer);
    EXPECT_NE(err.find("System Notify: Delete key failed!\n"), std::string::npos);
    EXPECT_NE(err.find("System Notify: Sure to delete selected item?"), std::string::npos);
}

} // namespace
} // namespace hw::util
