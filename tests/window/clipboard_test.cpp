// Copy and paste of keys and values, and Edit Value with its write-back, in the main window.
#include "app/window/value_list_model.h"
#include "core/key_ops.h"
#include "core/value_text.h"
#include "editors/window/number_edit.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>

namespace hw::test {
namespace {

const std::string kBase = "HKEY_CURRENT_USER\\Clip";
const std::string kSub = "Clip";

std::vector<BYTE> Bytes(const std::string& text) {
    return std::vector<BYTE>(text.begin(), text.end());
}

class ClipboardTest : public MainWindowTest {
  protected:
    void SetUp() override {
        CreateKeyPath(kBase + "\\From");
        CreateKeyPath(kBase + "\\To");
        CreateWindow();
    }
    void Select(const std::string& path) {
        ASSERT_TRUE(Browser().GoToPath(path)) << path;
        UpdateCommands();
    }
    std::vector<BYTE> Data(const std::string& subPath, const std::string& name) {
        const auto value = core::ReadRawValue(HKEY_CURRENT_USER, kSub + "\\" + subPath, name);
        return value ? value->data : std::vector<BYTE>{};
    }
    // Answers the replace question with button, noting the question asked.
    void AnswerReplace(std::vector<std::string>& questions, const char* button) {
        WhenModal([this, &questions, button](QWidget*) {
            questions.push_back(Child<QLabel>(*frmReplaceConfirm_, "lblKey")->text().toStdString());
            Child<QPushButton>(*frmReplaceConfirm_, button)->click();
        });
    }
};

TEST_F(ClipboardTest, PastedValuesAreAskedAboutInClipboardOrderAndKeepTheirBytes) {
    WriteText(kBase + "\\From", "A", "abc");
    WriteRawValue(kBase + "\\From", "B", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
    WriteRawValue(kBase + "\\From", "C", REG_MULTI_SZ, Bytes(std::string("one\0two\0\0three\0\0", 16)));
    WriteRawValue(kBase + "\\From", "D", REG_BINARY, {0x00, 0x7F, 0xFE});
    WriteText(kBase + "\\To", "A", "old");
    WriteText(kBase + "\\To", "B", "old");
    Select(kBase + "\\From");
    SelectRows({1, 2, 3, 4});
    Child<QAction>(*frmMain_, "acValueCopy")->trigger();

    Select(kBase + "\\To");
    EXPECT_TRUE(Child<QAction>(*frmMain_, "acValuePaste")->isEnabled());
    std::vector<std::string> questions;
    AnswerReplace(questions, "btnYes");
    AnswerReplace(questions, "btnYes");
    Child<QAction>(*frmMain_, "acValuePaste")->trigger();
    EXPECT_EQ(questions, (std::vector<std::string>{"value:[B] be exists in this key,Sure to replace it?",
                                                   "value:[A] be exists in this key,Sure to replace it?"}));
    EXPECT_EQ(Data("To", "A"), Bytes(std::string("abc\0", 4)));
    EXPECT_EQ(Data("To", "B"), (std::vector<BYTE>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Data("To", "C"), Bytes(std::string("one\0two\0\0three\0\0", 16)));
    EXPECT_EQ(Data("To", "D"), (std::vector<BYTE>{0x00, 0x7F, 0xFE}));
    EXPECT_EQ(ValueCaptions(), (std::vector<std::string>{"(Default)", "A", "B", "C", "D"}));
    EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(ClipboardTest, NoSkipsAValueAndCancelEndsThePasteAtOnce) {
    for (const char* name : {"A", "B", "C"}) {
        WriteText(kBase + "\\From", name, "new");
        WriteText(kBase + "\\To", name, "old");
    }
    Select(kBase + "\\From");
    SelectRows({1, 2, 3});
    Run("acValueCopy");
    Select(kBase + "\\To");
    std::vector<std::string> questions;
    AnswerReplace(questions, "btnNo");     // C
    AnswerReplace(questions, "btnYes");    // B
    AnswerReplace(questions, "btnCancel"); // A
    Run("acValuePaste");
    EXPECT_EQ(questions.size(), 3u);
    EXPECT_EQ(Data("To", "C"), Bytes(std::string("old\0", 4)));
    EXPECT_EQ(Data("To", "B"), Bytes(std::string("new\0", 4)));
    EXPECT_EQ(Data("To", "A"), Bytes(std::string("old\0", 4)));
}

TEST_F(ClipboardTest, EntriesThatCannotBeWrittenAreNamedAtTheEnd) {
    Select(kBase + "\\To");
    frmMain_->EmptyValueClipboard();
    app::TValueCopyData& bad = frmMain_->AddValueClipboardEntry();
    bad = {REG_DWORD, "bad", "not a number", {}};
    app::TValueCopyData& good = frmMain_->AddValueClipboardEntry();
    good = {REG_SZ, "good", "fine", {}};
    Run("acValuePaste");
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"These values could not be written:\nbad"});
    EXPECT_EQ(ValueCaptions(), (std::vector<std::string>{"(Default)", "good"}));
}

TEST_F(ClipboardTest, PasteKeyRefusesRelatedPathsAndAsksBeforeMerging) {
    CreateKeyPath(kBase + "\\From\\Deep");
    CreateKeyPath(kBase + "\\Fr");
    WriteText(kBase + "\\From\\Deep", "v", "1");
    Select(kBase + "\\From");
    Child<QAction>(*frmMain_, "acKeyCopy")->trigger();
    // Nested either way: refused. A key whose name merely starts the copied one's is another key.
    for (const std::string& related : {kBase + "\\From\\Deep", kBase}) {
        Select(related);
        EXPECT_FALSE(Child<QAction>(*frmMain_, "acKeyPaste")->isEnabled()) << related;
    }
    Select(kBase + "\\Fr");
    EXPECT_TRUE(Child<QAction>(*frmMain_, "acKeyPaste")->isEnabled());

    Select(kBase + "\\To");
    EXPECT_TRUE(Child<QAction>(*frmMain_, "acKeyPaste")->isEnabled());
    Child<QAction>(*frmMain_, "acKeyPaste")->trigger();
    EXPECT_TRUE(dialogs_.shown().empty());
    EXPECT_EQ(Data("To\\From\\Deep", "v"), Bytes(std::string("1\0", 2)));
    EXPECT_EQ(ChildTexts(Browser().SelectedNode()), std::vector<std::string>{"From"});

    Run("acKeyPaste"); // No to the merge question
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"There is a sub key named:[" + kBase +
                                                         "\\To\\From], will you continue to replace all same "
                                                         "items in this key?"});
}

TEST_F(ClipboardTest, EditedBigEndianDwordIsStoredSwappedAndShownAsEntered) {
    WriteRawValue(kBase + "\\From", "big", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 5});
    Select(kBase + "\\From");
    SelectRows({1});
    EXPECT_EQ(Browser().ValueRecord(1).number, 5u);

    WhenModal([this](QWidget*) {
        EXPECT_EQ(Child<editors::NumberEdit>(*frmDword_, "edtValue")->text(), "5");
        Child<editors::NumberEdit>(*frmDword_, "edtValue")->setText("26");
        Child<QPushButton>(*frmDword_, "btnOk")->click();
    });
    Child<QAction>(*frmMain_, "acValueEdit")->trigger();
    EXPECT_EQ(Data("From", "big"), (std::vector<BYTE>{0, 0, 0, 0x1A}));
    EXPECT_EQ(Browser().ValueRowAt(1).DataColumn(), "0x0000001A (26)");
    EXPECT_EQ(Browser().ValueRecord(1).DataText(), "26");

    WhenModal([this](QWidget*) {
        Child<editors::NumberEdit>(*frmDword_, "edtValue")->setText("99");
        Child<QPushButton>(*frmDword_, "btnCancel")->click();
    });
    Run("acValueEdit");
    EXPECT_EQ(Data("From", "big"), (std::vector<BYTE>{0, 0, 0, 0x1A}));
}

TEST_F(ClipboardTest, EditedMultiStringKeepsEveryStringAndCancelWritesNothing) {
    WriteRawValue(kBase + "\\From", "multi", REG_MULTI_SZ, Bytes(std::string("one\0two\0\0", 9)));
    Select(kBase + "\\From");
    SelectRows({1});
    EXPECT_EQ(Browser().ValueRowAt(1).DataColumn(), "\"one\"");

    WhenModal([this](QWidget*) {
        EXPECT_EQ(frmStr_->Text(), "one\r\ntwo");
        Child<QPlainTextEdit>(*frmStr_, "mmValue")->appendPlainText("three");
        Child<QPushButton>(*frmStr_, "btnOk")->click();
    });
    Run("acValueEdit");
    EXPECT_EQ(Data("From", "multi"), Bytes(std::string("one\0two\0three\0\0", 15)));
    EXPECT_EQ(Browser().ValueRowAt(1).SizeColumn(), "15");
    EXPECT_TRUE(frmStr_->Text().empty());

    WhenModal([this](QWidget*) {
        Child<QPlainTextEdit>(*frmStr_, "mmValue")->setPlainText("gone");
        Child<QPushButton>(*frmStr_, "btnCancel")->click();
    });
    Run("acValueEdit");
    EXPECT_EQ(Data("From", "multi"), Bytes(std::string("one\0two\0three\0\0", 15)));
    EXPECT_TRUE(Child<QLineEdit>(*frmStr_, "edtName")->text().isEmpty());
}

TEST_F(ClipboardTest, EditedBytesAreWrittenWithTheirTypeAndShownInTheRow) {
    WriteRawValue(kBase + "\\From", "raw", 11, {0x41, 0x00, 0xFF});
    Select(kBase + "\\From");
    SelectRows({1});
    WhenModal([this](QWidget*) {
        EXPECT_EQ(frmBin_->Bytes(), std::string("A\0\xFF", 3));
        frmBin_->SetBytes(std::string("\x00\x01Z", 3));
        Child<QPushButton>(*frmBin_, "btnOK")->click();
    });
    Run("acValueEdit");
    const auto value = core::ReadRawValue(HKEY_CURRENT_USER, kSub + "\\From", "raw");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, 11u);
    EXPECT_EQ(value->data, (std::vector<BYTE>{0x00, 0x01, 0x5A}));
    EXPECT_EQ(Browser().ValueRowAt(1).DataColumn(), "00 01 5A");
    EXPECT_EQ(Browser().ValueRecord(1).CharText(), "..Z");
    EXPECT_EQ(Browser().ValueRowAt(1).SizeColumn(), "3");
}

TEST_F(ClipboardTest, AnEditThatCannotBeWrittenIsReportedAndTheRowStays) {
    WriteText(kBase + "\\From", "s", "before");
    Select(kBase + "\\From");
    SelectRows({1});
    DeleteKeyAt(kBase + "\\From");
    WhenModal([this](QWidget*) {
        Child<QPlainTextEdit>(*frmStr_, "mmValue")->setPlainText("after");
        Child<QPushButton>(*frmStr_, "btnOk")->click();
    });
    Run("acValueEdit");
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"Access registry database error!"});
    EXPECT_EQ(Browser().ValueRecord(1).DataText(), "before");
    EXPECT_FALSE(core::KeyPathExists(kBase + "\\From"));
}

} // namespace
} // namespace hw::test
