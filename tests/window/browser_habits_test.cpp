// The browser's keyboard habits and back and forward through visited keys, with real key presses and mouse
// buttons.
#include "i18n/text_table.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>

#include <functional>

namespace hw::test {
namespace {

const std::string kBase = "HKEY_CURRENT_USER\\Habits";

class BrowserHabitsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        for (const char* key : {"\\A", "\\B", "\\C", "\\D"})
            CreateKeyPath(kBase + key);
        WriteText(kBase + "\\A", "text", "abc");
        CreateWindow();
        ShowActive();
    }
    QTreeView* View(const char* name) { return Child<QTreeView>(*frmMain_, name); }
    // Presses the key on the widget that has the focus, as the keyboard does.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QApplication::processEvents();
    }
    // A mouse button pressed and released over the widget.
    void Click(QWidget* widget, Qt::MouseButton button) {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, widget->mapToGlobal(at), button,
                              type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        }
        QApplication::processEvents();
    }
    bool Enabled(const char* command) { return Child<QAction>(*frmMain_, command)->isEnabled(); }
    // The name of the line editor open in the view, or nothing.
    static std::string OpenEditorText(QTreeView* view) {
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        return editor && view->isAncestorOf(editor) ? editor->text().toStdString() : std::string("<none>");
    }
};

TEST_F(BrowserHabitsTest, KeysActOnTheFocusedPane) {
    struct Habit {
        const char* name;
        const char* focus; // the view given the focus first
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::function<void()> prepare;
        std::function<void()> check;
    };
    std::string edited;
    const auto editValue = [&edited] {
        WhenModal([&edited](QWidget* modal) {
            edited = modal->findChild<QPlainTextEdit*>()->toPlainText().toStdString();
            static_cast<QDialog*>(modal)->reject();
        });
    };
    const auto answerNo = [this] { dialogs_.QueueAnswer(false); };
    // A pop-up menu opened from the keyboard shows at the view's current item, not at the mouse.
    const auto menuAtCurrentItem = [this](const char* view, const char* menu) {
        QTreeView* tree = View(view);
        const QPoint item = tree->viewport()->mapToGlobal(tree->visualRect(tree->currentIndex()).center());
        const QMenu* popup = Child<QMenu>(*frmMain_, menu);
        EXPECT_TRUE(popup->isVisible());
        EXPECT_EQ(popup->x(), item.x());
        EXPECT_TRUE(popup->geometry().contains(item));
    };
    const Habit habits[] = {
        {"Enter edits the value", "lstvwValues", Qt::Key_Return, Qt::NoModifier, editValue,
         [&] { EXPECT_EQ(edited, "abc"); }},
        {"F2 renames the key", "trvwKeys", Qt::Key_F2, Qt::NoModifier, nullptr,
         [&] { EXPECT_EQ(OpenEditorText(View("trvwKeys")), "A"); }},
        {"F2 renames the value", "lstvwValues", Qt::Key_F2, Qt::NoModifier, nullptr,
         [&] { EXPECT_EQ(OpenEditorText(View("lstvwValues")), "text"); }},
        {"Delete asks about the key", "trvwKeys", Qt::Key_Delete, Qt::NoModifier, answerNo,
         [&] { EXPECT_EQ(dialogs_.texts().back(), i18n::LookupText(i18n::Text::DeleteAllSubkeys)); }},
        {"Delete asks about the value", "lstvwValues", Qt::Key_Delete, Qt::NoModifier, answerNo,
         [&] { EXPECT_EQ(dialogs_.texts().back(), i18n::LookupText(i18n::Text::SureToDeleteItem)); }},
        {"Menu key opens the key menu", "trvwKeys", Qt::Key_Menu, Qt::NoModifier, nullptr,
         [&] { menuAtCurrentItem("trvwKeys", "pppmnKey"); }},
        {"Shift+F10 opens the value menu", "lstvwValues", Qt::Key_F10, Qt::ShiftModifier, nullptr,
         [&] { menuAtCurrentItem("lstvwValues", "pppmnValue"); }},
        {"Ctrl+L selects the address text", "trvwKeys", Qt::Key_L, Qt::ControlModifier, nullptr,
         [&] {
             auto* address = Child<QComboBox>(*frmMain_, "cmbbxAddress");
             EXPECT_TRUE(address->hasFocus());
             EXPECT_EQ(address->lineEdit()->selectedText().toStdString(), kBase + "\\A");
         }},
        {"F5 reads the key again", "trvwKeys", Qt::Key_F5, Qt::NoModifier,
         [] { WriteText(kBase + "\\A", "behind", "the window's back"); },
         [&] { EXPECT_EQ(ValueCaptions().size(), 3u); }},
    };
    for (const Habit& habit : habits) {
        SCOPED_TRACE(habit.name);
        ASSERT_TRUE(Browser().GoToPath(kBase + "\\A"));
        // Row 0 is the "(Default)" row: the key has no default value.
        SelectRows({1});
        QApplication::setActiveWindow(frmMain_.get());
        View(habit.focus)->setFocus();
        if (habit.prepare) habit.prepare();
        Press(habit.key, habit.modifiers);
        habit.check();
        for (QMenu* menu : frmMain_->findChildren<QMenu*>())
            menu->hide();
        if (QWidget* focus = QApplication::focusWidget()) QTest::keyClick(focus, Qt::Key_Escape);
    }
}

TEST_F(BrowserHabitsTest, BackAndForwardStepThroughVisitedKeys) {
    EXPECT_FALSE(Enabled("acBack"));
    EXPECT_FALSE(Enabled("acForward"));
    for (const char* key : {"\\A", "\\B", "\\C"})
        ASSERT_TRUE(Browser().GoToPath(kBase + key));
    View("trvwKeys")->setFocus();

    Press(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(SelectedPath(), kBase + "\\B");
    // The mouse's buttons work over any part of the window.
    Click(View("lstvwValues")->viewport(), Qt::BackButton);
    EXPECT_EQ(SelectedPath(), kBase + "\\A");
    EXPECT_EQ(ValueCaptions().size(), 2u);
    EXPECT_FALSE(Enabled("acBack"));
    EXPECT_TRUE(Enabled("acForward"));

    Click(Child<QComboBox>(*frmMain_, "cmbbxAddress"), Qt::ForwardButton);
    EXPECT_EQ(SelectedPath(), kBase + "\\B");
    Press(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(SelectedPath(), kBase + "\\C");
    EXPECT_FALSE(Enabled("acForward"));

    // A new key after going back drops the keys ahead.
    Child<QAction>(*frmMain_, "acBack")->trigger();
    ASSERT_TRUE(Browser().GoToPath(kBase + "\\D"));
    EXPECT_FALSE(Enabled("acForward"));

    // Keys gone meanwhile are stepped over without a word.
    DeleteKeyAt(kBase + "\\B");
    Press(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(SelectedPath(), kBase + "\\A");
    Press(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(SelectedPath(), kBase + "\\D");
    EXPECT_TRUE(dialogs_.shown().empty());
}

} // namespace
} // namespace hw::test
