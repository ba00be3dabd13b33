// The key content editor on a real temp registry, offscreen, with scripted message boxes and file choices.
#include "content/window/find_text_dialog.h"
#include "content/window/frm_key_content.h"
#include "core/value_text.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>

#include <fstream>
#include <iterator>
#include <map>

namespace hw::test {
namespace {

using content::TextEncoding;
using content::TfrmKeyContent;

const std::string kV5 = "Windows Registry Editor Version 5.00";

std::string ReadFile(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

std::string Utf16(const std::string& ascii) {
    std::string units("\xFF\xFE", 2);
    for (char c : ascii)
        units.append({c, '\0'});
    return units;
}

class KeyContentTest : public ::testing::Test {
  protected:
    KeyContentTest() {
        editor_.SetVersionLine(kV5);
        // Every file dialog "chooses" the next queued name, or is cancelled when none is left.
        editor_.SetFileDialogRunner([this](QFileDialog& dialog) -> std::optional<QString> {
            suffixes_.push_back(dialog.defaultSuffix().toStdString());
            if (chosen_.empty()) return std::nullopt;
            const std::string name = chosen_.front();
            chosen_.erase(chosen_.begin());
            return QString::fromStdString(name);
        });
    }
    ~KeyContentTest() override { editor_.hide(); }

    std::string Text() const { return editor_.Text().toStdString(); }
    void SetText(const std::string& text) { editor_.SetText(QString::fromStdString(text)); }
    void Choose(const std::string& file) { chosen_.push_back(file); }
    QPlainTextEdit* Content() const { return Child<QPlainTextEdit>(editor_, "rchedtContent"); }
    content::TFindTextDialog* FindDialog() const {
        return Child<content::TFindTextDialog>(editor_, "fnddlgContent");
    }
    content::TFindTextDialog* ReplaceDialog() const {
        return Child<content::TFindTextDialog>(editor_, "rplcdlgContent");
    }

    struct QtApplication {
        QtApplication() { EnsureQtApplication(); }
    } application_;
    TempRegistry registry_;
    util::ScriptedDialogs dialogs_;
    TfrmKeyContent editor_;
    std::vector<std::string> chosen_;
    std::vector<std::string> suffixes_;
};

TEST_F(KeyContentTest, FilesComeBackByteForByteInTheEncodingTheyCameIn) {
    struct Case {
        const char* what;
        std::string bytes;
        TextEncoding encoding;
        std::string shown;
    };
    const Case cases[] = {
        {"UTF-16 with its mark", Utf16("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n"), TextEncoding::Utf16Le,
         "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]"},
        {"UTF-8", "REGEDIT4\r\n\"N\"=\"gr\xC3\xBC\xC3\x9F\"\r\n", TextEncoding::Utf8,
         "REGEDIT4\n\"N\"=\"grüß\""},
        {"single-byte, not UTF-8", "REGEDIT4\r\n\"N\"=\"caf\xE9\"\r\n", TextEncoding::Ansi,
         "REGEDIT4\n\"N\"=\"café\""},
        {"an empty last line", "A\r\n\r\n", TextEncoding::Utf8, "A\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = registry_.dir().file("in.reg"), copy = registry_.dir().file("out.reg");
        WriteFile(file, c.bytes);
        ASSERT_TRUE(editor_.LoadFromFile(file));
        EXPECT_EQ(Text(), c.shown);
        EXPECT_EQ(editor_.Encoding(), c.encoding);
        dialogs_.QueueAnswer(false); // no version line for the last case
        Choose(copy);
        ASSERT_TRUE(editor_.mnitmSaveToFileClick());
        EXPECT_EQ(ReadFile(copy), c.bytes);
    }
    // Lone CR and LF line ends are read as line ends and written as CR LF.
    WriteFile(registry_.dir().file("mixed.reg"), "REGEDIT4\r[A]\n\"x\"=\"1\"");
    ASSERT_TRUE(editor_.LoadFromFile(registry_.dir().file("mixed.reg")));
    EXPECT_EQ(editor_.Lines(), (std::vector<std::string>{"REGEDIT4", "[A]", "\"x\"=\"1\""}));
    EXPECT_EQ(suffixes_, std::vector<std::string>(4, "reg"));
}

// An ANSI file keeps its code page while it can; a character the code page lacks turns the file into UTF-8
// rather than into a question mark.
TEST_F(KeyContentTest, AnsiFileSavesInItsCodePageOrElseAsUtf8) {
    const std::string file = registry_.dir().file("ansi.reg");
    WriteFile(file, "REGEDIT4\r\n\"N\"=\"caf\xE9\"\r\n");
    ASSERT_TRUE(editor_.LoadFromFile(file));
    Content()->appendPlainText(QString::fromUtf8("\"E\"=\"\xE2\x82\xAC\""));
    Choose(file);
    ASSERT_TRUE(editor_.mnitmSaveToFileClick());
    EXPECT_EQ(ReadFile(file), "REGEDIT4\r\n\"N\"=\"caf\xE9\"\r\n\"E\"=\"\x80\"\r\n");
    Content()->appendPlainText(QString::fromUtf8("\"Z\"=\"\xD0\x96\""));
    Choose(file);
    ASSERT_TRUE(editor_.mnitmSaveToFileClick());
    EXPECT_EQ(ReadFile(file),
              "REGEDIT4\r\n\"N\"=\"caf\xC3\xA9\"\r\n\"E\"=\"\xE2\x82\xAC\"\r\n\"Z\"=\"\xD0\x96\"\r\n");
}

// Exported text is saved as its version line says: a version 5 file in UTF-16 with text payloads in UTF-16.
TEST_F(KeyContentTest, ExportedTextSavesAsAVersion5FileInUtf16) {
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Ex", &key), ERROR_SUCCESS);
    RegSetValueExA(key, "e\xC3\xA9", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%\xC3\xA9%"), 5);
    RegCloseKey(key);
    ASSERT_TRUE(editor_.SetKeyContent("HKEY_CURRENT_USER\\Ex"));
    dialogs_.QueueAnswer(true); // put the version line in
    const std::string file = registry_.dir().file("ex.reg");
    Choose(file);
    ASSERT_TRUE(editor_.mnitmSaveToFileClick());
    EXPECT_EQ(ReadFile(file), Utf16(kV5 + "\r\n\r\n\r\n[HKEY_CURRENT_USER\\Ex]\r\n\"e") +
                                  std::string("\xE9\0", 2) +
                                  Utf16("\"=hex(2):25,00,E9,00,25,00,00,00\r\n").substr(2));
}

TEST_F(KeyContentTest, Utf16FileLoadedEditedAndSavedStaysUtf16) {
    const std::string file = registry_.dir().file("wide.reg");
    WriteFile(file, Utf16(kV5 + "\r\n\r\n[HKEY_CURRENT_USER\\Old]\r\n\"v\"=\"1\"\r\n"));
    ASSERT_TRUE(editor_.LoadFromFile(file));
    ReplaceDialog()->SetFindText("Old");
    ReplaceDialog()->SetReplaceText("New\xE2\x82\xAC"); // a euro sign: beyond any single byte
    editor_.ReplaceAll();
    Choose(file);
    ASSERT_TRUE(editor_.mnitmSaveToFileClick());
    const std::string saved = ReadFile(file);
    EXPECT_EQ(saved, Utf16(kV5 + "\r\n\r\n[HKEY_CURRENT_USER\\New") + std::string("\xAC\x20", 2) +
                         Utf16("]\r\n\"v\"=\"1\"\r\n").substr(2));
    // And the reader takes the edited file.
    ASSERT_TRUE(editor_.LoadFromFile(file));
    dialogs_.QueueAnswer(true);
    editor_.mnitmImportIntoRegistryClick();
    EXPECT_EQ(dialogs_.texts().back(), "Import success!");
    EXPECT_EQ(core::ReadValueTextOfPath("HKEY_CURRENT_USER\\New\xE2\x82\xAC", "v"), "1");
}

TEST_F(KeyContentTest, ShowingAnExportStartsAtItsFirstSectionWithTheModifiedMarkClear) {
    CreateKeyPath("HKEY_CURRENT_USER\\Shown\\Child");
    WriteText("HKEY_CURRENT_USER\\Shown", "Name", "Value");
    ASSERT_TRUE(editor_.SetKeyContent("HKEY_CURRENT_USER\\Shown"));
    Content()->document()->setModified(true);
    editor_.show();
    EXPECT_EQ(Text(), "[HKEY_CURRENT_USER\\Shown]\n\"Name\"=\"Value\"\n\n[HKEY_CURRENT_USER\\Shown\\Child]");
    EXPECT_FALSE(Content()->document()->isModified());
    EXPECT_EQ(editor_.StatusPanelText(0).toStdString(), "lines: 4");
    EXPECT_EQ(editor_.StatusPanelText(1).toStdString(), "size: 76 bytes");
    QTextCursor caret = Content()->textCursor();
    caret.setPosition(30);
    Content()->setTextCursor(caret);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(Content(), &release);
    EXPECT_EQ(editor_.StatusPanelText(2).toStdString(), "Position[x:4 y:1]");

    EXPECT_FALSE(editor_.SetKeyContent("HKEY_CURRENT_USER\\Missing"));
    EXPECT_EQ(Text(), "");
}

TEST_F(KeyContentTest, VersionLineIsAskedForBeforeSavingAndImporting) {
    const std::string file = registry_.dir().file("v.reg");
    // Save: Yes puts the version line and an empty line first; No saves the text as it is.
    SetText("[HKEY_CURRENT_USER\\Ver]\n\"a\"=\"1\"");
    dialogs_.QueueAnswer(true);
    Choose(file);
    ASSERT_TRUE(editor_.mnitmSaveToFileClick());
    EXPECT_EQ(ReadFile(file), kV5 + "\r\n\r\n[HKEY_CURRENT_USER\\Ver]\r\n\"a\"=\"1\"\r\n");
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{
                                    "There are none registry version info,will you set one then continue?"});
    SetText("[X]");
    dialogs_.QueueAnswer(false);
    Choose(file);
    ASSERT_TRUE(editor_.mnitmSaveToFileClick());
    EXPECT_EQ(ReadFile(file), "[X]\r\n");

    // Import: a text that begins with REGEDIT4 asks only the import question.
    dialogs_.ClearShown();
    SetText("REGEDIT4\n[HKEY_CURRENT_USER\\Ver]\n\"b\"=\"2\"");
    dialogs_.QueueAnswer(true);
    editor_.mnitmImportIntoRegistryClick();
    EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{"Sure to import this information into Registry?",
                                                          "Import success!"}));
    // The editor takes a trimmed or older version line as one; the reader's stricter verdict is shown.
    dialogs_.ClearShown();
    SetText(" REGEDIT2\t\n[HKEY_CURRENT_USER\\Ver]");
    dialogs_.QueueAnswer(true);
    editor_.mnitmImportIntoRegistryClick();
    EXPECT_EQ(dialogs_.texts(),
              (std::vector<std::string>{"Sure to import this information into Registry?",
                                        "Registry file version unknown,could not import it into "
                                        "Registry!"}));
    // Without one, No to the version question ends the command untouched.
    dialogs_.ClearShown();
    SetText("[HKEY_CURRENT_USER\\Ver]");
    editor_.mnitmImportIntoRegistryClick();
    EXPECT_EQ(dialogs_.texts().size(), 1u);
    EXPECT_EQ(Text(), "[HKEY_CURRENT_USER\\Ver]");

    // Registry Version Info: replace the version line on Yes, put one above it on No, add one otherwise.
    SetText("REGEDIT4\n[A]");
    dialogs_.QueueAnswer(true);
    editor_.mnitmRegistryVersionInfoClick();
    EXPECT_EQ(Text(), kV5 + "\n[A]");
    dialogs_.QueueAnswer(false);
    editor_.mnitmRegistryVersionInfoClick();
    EXPECT_EQ(Text(), kV5 + "\n\n" + kV5 + "\n[A]");
    SetText("");
    editor_.mnitmRegistryVersionInfoClick();
    EXPECT_EQ(editor_.Lines(), (std::vector<std::string>{kV5, ""}));
}

TEST_F(KeyContentTest, ImportReportsTheResultAndWhichLinesFailed) {
    SetText(kV5 + "\n\n[HKEY_CURRENT_USER\\Imp]\n\"s\"=\"text\"\n\"d\"=dword:0000002a\n\"bad\"=dword:xyz\n"
                  "[HKEY_NOWHERE\\Imp]\n\"t\"=\"u\"");
    dialogs_.QueueAnswer(true);
    editor_.mnitmImportIntoRegistryClick();
    ASSERT_EQ(dialogs_.shown().size(), 2u);
    const util::ShownMessage& result = dialogs_.shown().back();
    EXPECT_EQ(result.kind, util::MessageKind::Error);
    EXPECT_EQ(result.text.rfind(
                  "Error beget when import it into Registry,all right information have been import!", 0),
              0u);
    EXPECT_NE(result.text.find("\n\nline 6 [HKEY_CURRENT_USER\\Imp]: "), std::string::npos) << result.text;
    EXPECT_EQ(core::ReadValueTextOfPath("HKEY_CURRENT_USER\\Imp", "s"), "text");
    EXPECT_NE(core::ReadValueTextOfPath("HKEY_CURRENT_USER\\Imp", "d").find("42"), std::string::npos);

    // A first line that only looks like a version line is not one: the reader refuses the file.
    dialogs_.ClearShown();
    SetText("REGEDIT5\n[HKEY_CURRENT_USER\\Imp2]");
    dialogs_.QueueAnswer(false);
    editor_.mnitmImportIntoRegistryClick();
    EXPECT_EQ(dialogs_.texts().size(), 1u);
}

TEST_F(KeyContentTest, FindAndReplaceFollowTheCaretAndTheCase) {
    SetText("abc ABC abc");
    FindDialog()->SetFindText("ABC");
    editor_.FindNext(false);
    EXPECT_EQ(Content()->textCursor().selectionStart(), 0);
    editor_.mnitmFindNextClick();
    EXPECT_EQ(Content()->textCursor().selectionStart(), 4);
    FindDialog()->SetMatchCase(true);
    editor_.mnitmFindNextClick();
    EXPECT_TRUE(dialogs_.texts() == std::vector<std::string>{"Find finished!"});
    // The flag is clear now: F3 opens the find dialog instead of searching.
    editor_.mnitmFindNextClick();
    EXPECT_TRUE(FindDialog()->isVisible());
    FindDialog()->hide();

    // With match case off, a selection abc equals the find text ABC and is replaced at once.
    QTextCursor selection = Content()->textCursor();
    selection.setPosition(8);
    selection.setPosition(11, QTextCursor::KeepAnchor);
    Content()->setTextCursor(selection);
    ReplaceDialog()->SetFindText("ABC");
    ReplaceDialog()->SetReplaceText("x");
    editor_.Replace();
    EXPECT_EQ(Text(), "abc ABC x");
    // Otherwise Replace finds the next one from the caret, and says so when there is none.
    editor_.Replace();
    EXPECT_EQ(dialogs_.texts().back(), "Replace finished!");
    Content()->moveCursor(QTextCursor::Start);
    editor_.Replace();
    EXPECT_EQ(Content()->textCursor().selectedText().toStdString(), "abc");
    EXPECT_EQ(Text(), "abc ABC x");

    // A read-only text is never changed by Replace All.
    editor_.mnitmReadonlyClick();
    editor_.ReplaceAll();
    EXPECT_EQ(Text(), "abc ABC x");
    EXPECT_EQ(Child<QAction>(editor_, "mnitmReadonly")->text().toStdString(), "Cancel &Readonly");
}

// Posts itself once per pass of the event loop, then Esc to the text: a key press that arrives while
// Replace All is part way through.
class EscapeAfterPasses : public QObject {
  public:
    EscapeAfterPasses(QWidget* target, int passes) : target_(target), passes_(passes) {
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
    }
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        if (--passes_ > 0)
            QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        else
            QCoreApplication::postEvent(target_,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        return true;
    }

  private:
    QWidget* target_;
    int passes_;
};

TEST_F(KeyContentTest, ReplaceAllReplacesFromTheCaretAndEscStopsIt) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "\"v" + std::to_string(i) + "\"=\"old\"\n";
    text.pop_back();
    SetText(text);
    ReplaceDialog()->SetFindText("OLD");
    ReplaceDialog()->SetReplaceText("older"); // holds the find text: must not be found again
    editor_.ReplaceAll();
    EXPECT_EQ(Text().find("\"old\""), std::string::npos);
    EXPECT_EQ(dialogs_.texts().back(), "Replace finished!\nOccurrences replaced: 200.");
    EXPECT_EQ(Content()->textCursor().position(), Content()->document()->characterCount() - 2);
    // One undo step brings the whole text back.
    Content()->undo();
    EXPECT_EQ(Text(), text);

    Content()->moveCursor(QTextCursor::Start);
    EscapeAfterPasses escape(Content(), 20);
    editor_.ReplaceAll();
    std::size_t replaced = 0;
    for (std::size_t at = 0; (at = Text().find("older", at)) != std::string::npos; ++at)
        ++replaced;
    EXPECT_GT(replaced, 5u);
    EXPECT_LT(replaced, 200u);
    // The notice counts what was done before the stop.
    EXPECT_EQ(dialogs_.texts().back(),
              "Replace be broken!\nOccurrences replaced: " + std::to_string(replaced) + ".");
}

TEST_F(KeyContentTest, ClosingAsksAboutChangesAndKeepsThemUnlessSavedOrDropped) {
    editor_.show();
    SetText("[HKEY_CURRENT_USER\\Edited]");
    Content()->document()->setModified(true);
    // Cancel, and Yes with the save dialog cancelled, keep the window and the text.
    dialogs_.QueueChoice(util::Answer::Cancel);
    dialogs_.QueueChoice(util::Answer::Yes);
    dialogs_.QueueAnswer(false);
    EXPECT_FALSE(editor_.close());
    EXPECT_FALSE(editor_.close());
    EXPECT_TRUE(editor_.isVisible());
    EXPECT_EQ(Text(), "[HKEY_CURRENT_USER\\Edited]");
    EXPECT_EQ(dialogs_.shown().front().caption, "Notify");
    EXPECT_EQ(dialogs_.shown().front().text, "Content had been changed,will you save it?");
    // Yes with a file saves and closes.
    const std::string file = registry_.dir().file("closing.reg");
    dialogs_.QueueChoice(util::Answer::Yes);
    dialogs_.QueueAnswer(false);
    Choose(file);
    EXPECT_TRUE(editor_.close());
    EXPECT_EQ(ReadFile(file), "[HKEY_CURRENT_USER\\Edited]\r\n");

    // Load from file after No loads without saving.
    const std::string other = registry_.dir().file("other.REG");
    WriteFile(other, "REGEDIT4\r\n");
    Content()->document()->setModified(true);
    dialogs_.QueueChoice(util::Answer::No);
    Choose(other);
    editor_.mnitmLoadFromFileClick();
    EXPECT_EQ(Text(), "REGEDIT4");

    // Dropped files: only a .reg file (any case) counts, and only the first of a drop.
    WriteFile(registry_.dir().file("x.txt"), "text");
    editor_.FilesDropped(
        {QString::fromStdString(registry_.dir().file("x.txt")), QString::fromStdString(other)});
    EXPECT_EQ(Text(), "REGEDIT4");
    SetText("");
    editor_.FilesDropped({QString::fromStdString(other)});
    EXPECT_EQ(Text(), "REGEDIT4");
}

TEST_F(KeyContentTest, EveryShortcutHasOneOwnerAndReadOnlyGuardsTheEdits) {
    std::map<QString, std::string> owners;
    for (QAction* action : editor_.findChildren<QAction*>()) {
        if (action->shortcut().isEmpty()) continue;
        const QString key = action->shortcut().toString();
        EXPECT_EQ(owners.count(key), 0u)
            << key.toStdString() << ": " << owners[key] << " and " << action->objectName().toStdString();
        owners[key] = action->objectName().toStdString();
    }
    EXPECT_EQ(owners["Ctrl+S"], "mnitmSaveToFile");

    SetText("abc");
    editor_.mnitmReadonlyClick();
    Content()->selectAll();
    for (QAction* edit : {Child<QAction>(editor_, "mnitmCut"), Child<QAction>(editor_, "mnitmDelete"),
                          Child<QAction>(editor_, "mnitmClear")})
        edit->trigger();
    EXPECT_EQ(Text(), "abc");
    editor_.mnitmReadonlyClick();
    Content()->moveCursor(QTextCursor::Start);
    Child<QAction>(editor_, "mnitmDelete")->trigger(); // no selection: the character after the caret
    EXPECT_EQ(Text(), "bc");
    dialogs_.QueueAnswer(true);
    Child<QAction>(editor_, "mnitmClear")->trigger();
    EXPECT_EQ(Text(), "");
}

TEST_F(KeyContentTest, PrintShowsAPreviewAndPrintsToPdf) {
    SetText("[HKEY_CURRENT_USER\\Printed]\n\"a\"=\"1\"");
    const QString title = QStringLiteral("HKEY_CURRENT_USER\\Printed Content");
    QString shownTitle;
    WhenModal([&shownTitle](QWidget* modal) {
        EXPECT_TRUE(qobject_cast<QPrintPreviewDialog*>(modal));
        shownTitle = modal->windowTitle();
        modal->close();
    });
    // Cancelled in the preview: nothing printed, nothing said.
    EXPECT_FALSE(editor_.Print(title));
    EXPECT_EQ(shownTitle, title);
    EXPECT_TRUE(dialogs_.shown().empty());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string pdf = registry_.dir().file("content.pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));
    ASSERT_TRUE(editor_.PrintTo(printer, title));
    EXPECT_EQ(ReadFile(pdf).substr(0, 5), "%PDF-");
}

} // namespace
} // namespace hw::test
