// The key content editor's Replace dialog: Tab reaches the replacement field, and Replace All puts exactly
// that text in place of every match, before the caret as well as after it.
#include "content/window/find_text_dialog.h"
#include "content/window/frm_key_content.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace hw::test {
namespace {

class KeyContentReplaceTest : public MainWindowTest {
  protected:
    KeyContentReplaceTest() { CreateWindow(); }

    // Types text into the dialog's focused field, then presses Tab.
    QWidget* TypeAndTab(content::TFindTextDialog& dialog, const QString& text) {
        auto* field = qobject_cast<QLineEdit*>(dialog.focusWidget());
        if (!field) return nullptr;
        field->insert(text);
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(field, &tab);
        return dialog.focusWidget();
    }
};

TEST_F(KeyContentReplaceTest, TabLeadsThroughTheFieldsAndReplaceAllCoversTheWholeText) {
    frmKeyContent_->SetText("[HKEY_CURRENT_USER\\T]\n\"T3\"=dword:00000003\n\"T4\"=dword:00000004");
    QTextCursor caret = Child<QPlainTextEdit>(*frmKeyContent_, "rchedtContent")->textCursor();
    caret.movePosition(QTextCursor::End);
    Child<QPlainTextEdit>(*frmKeyContent_, "rchedtContent")->setTextCursor(caret);

    content::TFindTextDialog& dialog = *Child<content::TFindTextDialog>(*frmKeyContent_, "rplcdlgContent");
    frmKeyContent_->mnitmReplaceClick();
    ASSERT_EQ(dialog.focusWidget(), Child<QLineEdit>(dialog, "edtFindText"));
    EXPECT_EQ(TypeAndTab(dialog, "dword:0000000"), Child<QLineEdit>(dialog, "edtReplaceText"));
    EXPECT_EQ(TypeAndTab(dialog, "dword:1000000"), Child<QCheckBox>(dialog, "chckbxMatchCase"));

    dialogs_.ClearShown();
    Child<QPushButton>(dialog, "btnReplaceAll")->click();
    EXPECT_EQ(frmKeyContent_->Text().toStdString(),
              "[HKEY_CURRENT_USER\\T]\n\"T3\"=dword:10000003\n\"T4\"=dword:10000004");
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"Replace finished!\nOccurrences replaced: 2."});
}

} // namespace
} // namespace hw::test
