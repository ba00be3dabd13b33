// The address band's flat buttons: their look follows the pointer and a release reports where it happened.
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"
#include "ui/flat_panel_button.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>

namespace hw::window {
namespace {

void SendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST(FlatPanelButtonTest, RaisedOnlyOverTheInnerAreaSunkenWhilePressed) {
    test::EnsureQtApplication();
    ui::FlatPanelButton button("Go", QMargins(9, 5, 16, 10));
    button.resize(47, 30);
    int releases = 0;
    QObject::connect(&button, &ui::FlatPanelButton::released, [&releases] { ++releases; });

    SendMouse(&button, QEvent::MouseMove, {9, 6});
    EXPECT_EQ(button.frameShadow(), QFrame::Raised);
    SendMouse(&button, QEvent::MouseMove, {8, 6}); // left of the inner area
    EXPECT_EQ(button.frameShape(), QFrame::NoFrame);
    SendMouse(&button, QEvent::MouseMove, {20, 5}); // on its top edge
    EXPECT_EQ(button.frameShape(), QFrame::NoFrame);
    SendMouse(&button, QEvent::MouseMove, {31, 19}); // 16 from the right, 11 from the bottom edge
    EXPECT_EQ(button.frameShape(), QFrame::NoFrame);
    SendMouse(&button, QEvent::MouseMove, {30, 19});
    EXPECT_EQ(button.frameShadow(), QFrame::Raised);

    SendMouse(&button, QEvent::MouseButtonPress, {30, 19});
    EXPECT_EQ(button.frameShadow(), QFrame::Sunken);
    SendMouse(&button, QEvent::MouseMove, {1, 1});
    EXPECT_EQ(button.frameShadow(), QFrame::Sunken);
    SendMouse(&button, QEvent::MouseButtonRelease, {30, 19});
    EXPECT_EQ(button.frameShape(), QFrame::NoFrame);
    EXPECT_EQ(releases, 1);
}

class GoButtonTest : public test::MainWindowTest {};

TEST_F(GoButtonTest, ReleasingGoNavigatesToTheAddressText) {
    CreateWindow();
    test::Child<QComboBox>(*frmMain_, "cmbbxAddress")->setEditText("hkcu\\software");
    SendMouse(test::Child<ui::FlatPanelButton>(*frmMain_, "pnlGo"), QEvent::MouseButtonPress, {10, 8});
    SendMouse(test::Child<ui::FlatPanelButton>(*frmMain_, "pnlGo"), QEvent::MouseButtonRelease, {10, 8});
    EXPECT_EQ(SelectedPath(), "HKEY_CURRENT_USER\\Software");
    EXPECT_TRUE(dialogs_.shown().empty());
}

} // namespace
} // namespace hw::window
