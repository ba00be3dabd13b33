// The string editor: its length and maximum, file loading and saving byte for byte, printing.
#include "editors/window/frm_str.h"
#include "platform/platform_facts.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"
#include "util/scripted_dialogs.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace hw::editors {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class StringEditorTest : public ::testing::Test {
  protected:
    void SetUp() override { test::EnsureQtApplication(); }
    void TearDown() override { platform::SetPlatformFactsForTesting(savedFacts_); }

    platform::PlatformFacts savedFacts_ = platform::GetPlatformFacts();
    util::ScriptedDialogs dialogs_;
    test::TempDir dir_;
};

TEST_F(StringEditorTest, LengthCountsStoredBytesAndTheMaximumFollowsTheVersion) {
    for (const auto& [major, maximum] : {std::pair{4, "16383"}, std::pair{5, "531706"}}) {
        platform::PlatformFacts facts = savedFacts_;
        facts.majorVersion = major;
        platform::SetPlatformFactsForTesting(facts);
        TfrmStr editor;
        EXPECT_EQ(test::Child<QLabel>(editor, "lblMax")->text().toStdString(),
                  std::string("max length: ") + maximum + " bytes");
        EXPECT_EQ(test::Child<QLabel>(editor, "lblLength")->text(), "length: 0 bytes");
        test::Child<QPlainTextEdit>(editor, "mmValue")->setPlainText("a\nb");
        EXPECT_EQ(test::Child<QLabel>(editor, "lblLength")->text(), "length: 4 bytes");
        EXPECT_EQ(editor.Text(), "a\r\nb");
        test::Child<QPlainTextEdit>(editor, "mmValue")->setPlainText("\xC3\xA4"); // one character, two bytes
        EXPECT_EQ(test::Child<QLabel>(editor, "lblLength")->text(), "length: 2 bytes");
    }
}

TEST_F(StringEditorTest, BytesThatAreNotUtf8ComeBackUnchangedUnlessEdited) {
    TfrmStr editor;
    const std::string latin("caf\xE9\r\nna\xEFve");
    editor.SetText(latin);
    EXPECT_EQ(test::Child<QPlainTextEdit>(editor, "mmValue")->toPlainText(),
              QString::fromUtf8("caf\xC3\xA9\nna\xC3\xAFve"));
    EXPECT_EQ(editor.Text(), latin);

    const std::string saved = dir_.file("out.txt");
    ASSERT_TRUE(editor.SaveToFile(QString::fromStdString(saved)));
    EXPECT_EQ(ReadFile(saved), latin);
    editor.Clear();
    ASSERT_TRUE(editor.LoadFromFile(QString::fromStdString(saved)));
    EXPECT_EQ(editor.Text(), latin);

    test::Child<QPlainTextEdit>(editor, "mmValue")->appendPlainText("!");
    EXPECT_EQ(editor.Text(), "caf\xC3\xA9\r\nna\xC3\xAFve\r\n!");
}

TEST_F(StringEditorTest, FileFailuresAreToldAndKeepTheText) {
    TfrmStr editor;
    editor.SetText("kept");
    EXPECT_FALSE(editor.LoadFromFile(QString::fromStdString(dir_.file("missing.txt"))));
    EXPECT_FALSE(editor.SaveToFile(QString::fromStdString(dir_.file("no/such/dir/x.txt"))));
    EXPECT_EQ(dialogs_.shown().size(), 2u);
    EXPECT_EQ(editor.Text(), "kept");
}

TEST_F(StringEditorTest, PrintsTheTextToAPdfFile) {
    TfrmStr editor;
    editor.SetText("printed line");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string pdf = dir_.file("text.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));
    editor.PrintTo(printer);
    EXPECT_TRUE(ReadFile(pdf).starts_with("%PDF"));
}

} // namespace
} // namespace hw::editors
