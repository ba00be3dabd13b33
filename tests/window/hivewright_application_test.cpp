// A failure that escapes an event handler is shown in an error box with its own message.
#include "support/qt/window_fixture.h"

#include <QApplication>
#include <QEvent>

#include <stdexcept>

namespace hw::test {
namespace {

class FailingObject : public QObject {
  protected:
    bool event(QEvent*) override { throw std::runtime_error("Invalid char"); }
};

TEST(HivewrightApplicationTest, EscapedFailureIsShownAndTheProgramGoesOn) {
    EnsureQtApplication();
    util::ScriptedDialogs dialogs;
    FailingObject failing;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QApplication::sendEvent(&failing, &event));
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Invalid char"});
    EXPECT_EQ(dialogs.shown().at(0).kind, util::MessageKind::Error);
}

} // namespace
} // namespace hw::test
