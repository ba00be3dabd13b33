// The DWORD editor: the typing rule of each base, base switching, pasting and the result on OK.
#include "editors/dword_text.h"
#include "editors/window/frm_dword.h"
#include "editors/window/number_edit.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"
#include "util/scripted_dialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace hw::editors {
namespace {

using enum NumberBase;

TEST(DwordTextTest, TypingRuleAppendsToTheWholeText) {
    struct Case {
        NumberBase base;
        const char* text;
        char typed;
        bool allowed;
    };
    const Case cases[] = {
        {Decimal, "214748364", '7', true},     {Decimal, "214748364", '8', false},
        {Decimal, "2147483647", '5', false},   {Decimal, "", '0', true},
        {Decimal, "12", 'a', false},           {Decimal, "12", ' ', false},
        {Decimal, "12", '-', false},           {Hexadecimal, "FFFFFFF", 'f', true},
        {Hexadecimal, "FFFFFFFF", '0', false}, {Hexadecimal, "ab", 'g', false},
        {Hexadecimal, "", ' ', false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeystrokeAllowed(c.base, c.text, c.typed), c.allowed) << c.text << " + " << c.typed;
}

TEST(DwordTextTest, SwitchingBasesRewritesTheNumber) {
    EXPECT_EQ(SwitchBase(Hexadecimal, "4294967295"), "FFFFFFFF");
    EXPECT_EQ(SwitchBase(Decimal, "FFFFFFFF"), "4294967295");
    EXPECT_EQ(SwitchBase(Hexadecimal, "255"), "000000FF");
    EXPECT_EQ(SwitchBase(Decimal, "ff"), "255");
    EXPECT_EQ(SwitchBase(Hexadecimal, "9999999999"), "540BE3FF"); // low 32 bits
    EXPECT_EQ(SwitchBase(Decimal, "12 "), "0");
    EXPECT_EQ(SwitchBase(Hexadecimal, ""), "");
    EXPECT_EQ(ReadNumber(Hexadecimal, "123456789").failure, "Value overflow");
    EXPECT_EQ(ReadNumber(Decimal, "-1").number, 4294967295u);
}

class DwordEditorTest : public ::testing::Test {
  protected:
    NumberEdit* Value() const { return test::Child<NumberEdit>(editor_, "edtValue"); }
    void Type(const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(Value(), &press);
        }
    }
    // Presses OK while the dialog runs; the dialog's result and the value it returns.
    int RunAndPressOk() {
        test::WhenModal([this](QWidget*) {
            test::Child<QPushButton>(editor_, "btnOk")->click();
            if (editor_.isVisible()) editor_.reject();
        });
        return editor_.exec();
    }

    // The application object must exist before the editor.
    const bool qtReady_ = (test::EnsureQtApplication(), true);
    util::ScriptedDialogs dialogs_;
    TfrmDword editor_;
};

TEST_F(DwordEditorTest, LargestNumberSurvivesBothBasesAndOk) {
    editor_.SetValue("n", 4294967295u);
    editor_.ChooseBase(Hexadecimal);
    EXPECT_EQ(Value()->text(), "FFFFFFFF");
    EXPECT_EQ(RunAndPressOk(), QDialog::Accepted);
    EXPECT_EQ(editor_.ResultValue(), 4294967295u);
    // Showing chose Dec again, which rewrote the text.
    EXPECT_EQ(Value()->text(), "4294967295");
    EXPECT_EQ(RunAndPressOk(), QDialog::Accepted);
    EXPECT_EQ(editor_.ResultValue(), 4294967295u);
}

TEST_F(DwordEditorTest, TypedAndPastedTextPassTheSameRule) {
    editor_.SetValue("n", 0);
    Value()->clear();
    Type("2x14748 3648");
    EXPECT_EQ(Value()->text(), "214748364");
    Value()->clear();
    Value()->PasteFiltered("12ab-34");
    EXPECT_EQ(Value()->text(), "1234");
    editor_.ChooseBase(Hexadecimal);
    Value()->clear();
    Value()->PasteFiltered("0x1ag2b3c4d5e");
    EXPECT_EQ(Value()->text(), "01a2b3c4");
}

TEST_F(DwordEditorTest, EmptyTextGivesZeroAndAnUnreadableTextKeepsTheDialogOpen) {
    editor_.SetValue("n", 7);
    Value()->clear();
    EXPECT_EQ(RunAndPressOk(), QDialog::Accepted);
    EXPECT_EQ(editor_.ResultValue(), 0u);

    editor_.SetValue("n", 7);
    test::WhenModal([this](QWidget*) {
        editor_.ChooseBase(Hexadecimal);
        Value()->setText("12 ");
        test::Child<QPushButton>(editor_, "btnOk")->click();
        EXPECT_TRUE(editor_.isVisible());
        test::Child<QPushButton>(editor_, "btnCancel")->click();
    });
    EXPECT_EQ(editor_.exec(), QDialog::Rejected);
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"Invalid char"});
    EXPECT_EQ(editor_.ResultValue(), 0u);
}

} // namespace
} // namespace hw::editors
