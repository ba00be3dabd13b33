// The main window's file commands: export and import with their dialogs, questions, messages and progress.
#include "app/window/file_work_progress.h"
#include "app/window/reg_file_dialog.h"
#include "core/key_ops.h"
#include "i18n/text_table.h"
#include "markup/window/opal_explorer.h"
#include "support/qt/child.h"
#include "support/qt/when_modal.h"
#include "support/qt/window_fixture.h"
#include "support/reg_file_text.h"
#include "util/file_io.h"

#include <gmock/gmock.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QProgressDialog>
#include <QUrl>

#include <filesystem>
#include <fstream>

namespace hw::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::string kKey = "HKEY_CURRENT_USER\\Files";

std::string ReadAll(const std::string& file) {
    return hw::test::ReadRegFileText(file);
}

// Presses Cancel in every progress dialog as soon as it shows.
class CancelProgress : public QObject {
  public:
    CancelProgress() { qApp->installEventFilter(this); }
    ~CancelProgress() override { qApp->removeEventFilter(this); }
    int shown = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* progress = qobject_cast<QProgressDialog*>(watched);
            progress && event->type() == QEvent::Show) {
            ++shown;
            progress->cancel();
        }
        return false;
    }
};

class FileCommandsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        WriteText(kKey, "name", "value");
        CreateWindow();
    }
    void TearDown() override { window::FileWorkProgress::SetShowDelay(500); }
    std::string File(const std::string& name) const { return registry_.dir().file(name); }
    // The next file dialog chooses fileName (or is cancelled for an empty name).
    void ChooseInNextDialog(const std::string& fileName) {
        WhenModal([fileName](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            if (fileName.empty()) return dialog->reject();
            // What a user types into the name box; a file the dialog selected itself would win over it.
            for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>())
                view->clearSelection();
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(fileName));
            static_cast<QDialog*>(dialog)->accept();
        });
    }
    void ExportKey(const std::string& fileName) {
        ChooseInNextDialog(fileName);
        Child<QAction>(*frmMain_, "acExportCurrentKey")->trigger();
    }
    void Import(const std::string& fileName, bool sure = true) {
        dialogs_.QueueAnswer(sure);
        ChooseInNextDialog(fileName);
        Child<QAction>(*frmMain_, "acImportRegistryFile")->trigger();
    }
};

TEST_F(FileCommandsTest, ExportCurrentKeyAsksBeforeReplacingAndSaysWhenItCannotWrite) {
    // Nothing selected: not even the dialog (it would block this test).
    Child<QAction>(*frmMain_, "acExportCurrentKey")->trigger();
    ASSERT_TRUE(Browser().GoToPath(kKey));

    ExportKey(File("key.reg"));
    EXPECT_THAT(ReadAll(File("key.reg")), StartsWith("Windows Registry Editor Version 5.00\r\n\r\n[" + kKey +
                                                     "]\r\n\"name\"=\"value\""));
    // The notice names the file without its folder and the bytes written.
    EXPECT_THAT(dialogs_.texts(),
                ElementsAre("Exported [key.reg]: " +
                            std::to_string(std::filesystem::file_size(File("key.reg"))) + " bytes."));
    dialogs_.ClearShown();

    // The dialog offers the last name again; No to the replace question leaves the file alone.
    std::ofstream(File("key.reg"), std::ios::binary) << "old";
    std::string offered;
    WhenModal([&offered](QWidget* modal) {
        offered = static_cast<QFileDialog*>(modal)->selectedFiles().value(0).toStdString();
        static_cast<QDialog*>(modal)->accept();
    });
    Child<QAction>(*frmMain_, "acExportCurrentKey")->trigger();
    EXPECT_EQ(offered, File("key.reg"));
    EXPECT_THAT(dialogs_.texts(), ElementsAre("File:[" + File("key.reg") + "] exists,will you replace it?"));
    EXPECT_EQ(ReadAll(File("key.reg")), "old");

    dialogs_.QueueAnswer(true);
    ExportKey(File("key.reg"));
    EXPECT_THAT(ReadAll(File("key.reg")), HasSubstr("\"name\"=\"value\""));

    dialogs_.ClearShown();
    std::ofstream(File("plain"), std::ios::binary) << "a file, not a folder";
    ExportKey(File("plain") + "/key.reg");
    EXPECT_THAT(dialogs_.texts(), ElementsAre("Could not write file:[" + File("plain") + "/key.reg]"));

    // A key that vanished since it was selected is named instead of writing a header-only file.
    dialogs_.ClearShown();
    DeleteKeyAt(kKey);
    ExportKey(File("gone.reg"));
    EXPECT_THAT(dialogs_.texts(), ElementsAre("Your registry without Key:[" + kKey + "]"));
    EXPECT_FALSE(std::filesystem::exists(File("gone.reg")));
}

TEST_F(FileCommandsTest, ExportNamesWhatTheFormatCannotCarry) {
    WriteText(kKey, "two\nlines", "x");
    for (int i = 0; i < 12; ++i)
        CreateKeyPath(kKey + "\\bad\r" + std::to_string(i));
    ASSERT_TRUE(Browser().GoToPath(kKey));
    ExportKey(File("key.reg"));
    ASSERT_EQ(dialogs_.shown().size(), 2u);
    EXPECT_EQ(dialogs_.shown()[0].kind, util::MessageKind::Notice);
    EXPECT_THAT(dialogs_.shown()[0].text, HasSubstr("\n" + kKey + " \"two\\nlines\"\n"));
    EXPECT_THAT(dialogs_.shown()[0].text, HasSubstr("\n... and 3 more"));
    EXPECT_THAT(dialogs_.shown()[1].text, StartsWith("Exported [key.reg]: "));
}

TEST_F(FileCommandsTest, WholeRegistryExportWritesMachineThenUsers) {
    ChooseInNextDialog(File("all.reg"));
    Child<QAction>(*frmMain_, "acExportWholeRegistry")->trigger();
    const std::string text = ReadAll(File("all.reg"));
    ASSERT_THAT(text, StartsWith("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE"));
    const std::size_t users = text.find("\r\n[HKEY_USERS");
    ASSERT_NE(users, std::string::npos);
    EXPECT_EQ(text.find("\r\n[HKEY_LOCAL_MACHINE", users), std::string::npos);
    EXPECT_EQ(text.find("\r\n[HKEY_CURRENT_USER"), std::string::npos);
    EXPECT_NE(text.find("\"name\"=\"value\"", users), std::string::npos);
    EXPECT_THAT(dialogs_.texts(),
                ElementsAre("Exported [all.reg]: " +
                            std::to_string(std::filesystem::file_size(File("all.reg"))) + " bytes."));
    dialogs_.ClearShown();

    // A cancelled dialog does nothing.
    ChooseInNextDialog("");
    Child<QAction>(*frmMain_, "acExportWholeRegistry")->trigger();
    EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(FileCommandsTest, LongExportShowsProgressAndCancelRemovesThePartialFile) {
    for (int i = 0; i < 600; ++i)
        CreateKeyPath(kKey + "\\Many\\K" + std::to_string(i));
    ASSERT_TRUE(Browser().GoToPath(kKey));
    window::FileWorkProgress::SetShowDelay(0);
    auto filesInDir = [this] {
        return std::distance(std::filesystem::directory_iterator(registry_.dir().path()), {});
    };
    const auto filesBefore = filesInDir();
    {
        CancelProgress cancel;
        ExportKey(File("cancelled.reg"));
        EXPECT_EQ(cancel.shown, 1);
    }
    EXPECT_FALSE(std::filesystem::exists(File("cancelled.reg")));
    EXPECT_EQ(filesInDir(), filesBefore);
    EXPECT_TRUE(dialogs_.shown().empty());

    ExportKey(File("done.reg"));
    EXPECT_THAT(ReadAll(File("done.reg")), HasSubstr("[" + kKey + "\\Many\\K599]"));
    EXPECT_EQ(frmMain_->findChildren<QProgressDialog*>().size(), 0);
}

TEST_F(FileCommandsTest, ProgressTextsFollowTheLanguage) {
    window::FileWorkProgress::SetShowDelay(0);
    const std::string languageFile = File("LANGUAGE.INI");
    util::WriteFileBytes(languageFile, "[Test]\r\n369=%s von %s Bytes\r\n370=%s Schl\xC3\xBCssel\r\n");
    const struct {
        const char* section;
        const char* bytes;
        const char* keys;
    } cases[] = {{"", "1 of 2 bytes", "3 keys"}, {"Test", "1 von 2 Bytes", "3 Schl\xC3\xBCssel"}};
    for (const auto& c : cases) {
        i18n::LoadTextSection(languageFile, c.section);
        window::FileWorkProgress progress(frmMain_.get(), "work");
        progress.ReportBytes(1, 2);
        auto* dialog = frmMain_->findChild<QProgressDialog*>();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->labelText().toStdString(), c.bytes);
        progress.ReportKeys(3);
        EXPECT_EQ(dialog->labelText().toStdString(), c.keys);
    }
    i18n::LoadTextSection("", "");
}

TEST_F(FileCommandsTest, ImportAsksFirstAndReportsEachResult) {
    std::ofstream(File("good.reg"), std::ios::binary)
        << "REGEDIT4\r\n\r\n[" << kKey << "\\New]\r\n\"a\"=\"b\"\r\n";
    std::ofstream(File("header.reg"), std::ios::binary) << "not a header\r\n";
    std::ofstream(File("broken.reg"), std::ios::binary)
        << "REGEDIT4\r\n\r\n[" << kKey << "\\Part]\r\n\"n\"=dword:zz\r\n\"ok\"=\"1\"\r\n";
    const struct {
        std::string file;
        util::MessageKind kind;
        std::string text;
    } cases[] = {
        {"good.reg", util::MessageKind::Notice, "Import success!"},
        {"header.reg", util::MessageKind::Error,
         "Registry file version unknown,could not import it into Registry!"},
        {"broken.reg", util::MessageKind::Error,
         "Error beget when import it into Registry,all right information have been import!\nline 4 [" + kKey +
             "\\Part]: "},
        {"missing.reg", util::MessageKind::Error, "File not exists!"},
    };
    for (const auto& [file, kind, text] : cases) {
        dialogs_.ClearShown();
        Import(File(file));
        ASSERT_EQ(dialogs_.shown().size(), 2u) << file;
        EXPECT_EQ(dialogs_.shown()[0].text,
                  "Sure to import file:[" + File(file) + "] into your Registry database");
        EXPECT_EQ(dialogs_.shown()[1].kind, kind) << file;
        EXPECT_THAT(dialogs_.shown()[1].text, StartsWith(text));
    }
    EXPECT_TRUE(core::KeyPathExists(kKey + "\\New"));
    EXPECT_TRUE(core::ValuePathExists(kKey + "\\Part", "ok"));

    // No to the question imports nothing.
    core::DeleteKeyPath(kKey + "\\New");
    dialogs_.ClearShown();
    Import(File("good.reg"), false);
    EXPECT_EQ(dialogs_.shown().size(), 1u);
    EXPECT_FALSE(core::KeyPathExists(kKey + "\\New"));
}

TEST_F(FileCommandsTest, CancelledImportStopsAtASectionAndSaysHowFarItGot) {
    std::ofstream file(File("big.reg"), std::ios::binary);
    file << "REGEDIT4\r\n";
    for (int key = 0; key < 400; ++key) {
        file << "\r\n[" << kKey << "\\K" << key << "]\r\n";
        for (int value = 0; value < 20; ++value)
            file << "\"V" << value << "\"=\"" << std::string(80, 'x') << "\"\r\n";
    }
    file.close();
    window::FileWorkProgress::SetShowDelay(0);
    CancelProgress cancel;
    Import(File("big.reg"));
    ASSERT_EQ(dialogs_.shown().size(), 2u);
    EXPECT_EQ(dialogs_.shown()[1].kind, util::MessageKind::Notice);
    EXPECT_THAT(dialogs_.shown()[1].text, StartsWith("Import stopped after "));
    EXPECT_FALSE(core::KeyPathExists(kKey + "\\K399"));
}

class MailCatcher : public QObject {
    Q_OBJECT
  public:
    QUrl opened;
  public slots:
    void Open(const QUrl& url) { opened = url; }
};

TEST_F(FileCommandsTest, SuggestOrQuestionOpensAMailToTheSupportAddress) {
    MailCatcher catcher;
    QDesktopServices::setUrlHandler("mailto", &catcher, "Open");
    Child<QAction>(*frmMain_, "acEmail")->trigger();
    QDesktopServices::unsetUrlHandler("mailto");
    EXPECT_EQ(catcher.opened.scheme(), "mailto");
    EXPECT_THAT(catcher.opened.path().toStdString(), HasSubstr("@"));
}

} // namespace
} // namespace hw::test

#include "file_commands_test.moc"

namespace hw::test {
namespace {

// A dropped file opens by its extension, in any letter case: registration files in the key content editor,
// pages in an OPAL Explorer, anything else in the hex editor.
TEST_F(FileCommandsTest, DroppedFilesOpenInTheWindowTheirExtensionNames) {
    CreateWindow();
    struct Drop {
        const char* name;
        const char* content;
        std::string expected; // found in what the window shows; empty: the file's own path
        std::function<std::string(QWidget*)> shown;
    };
    const std::vector<Drop> drops = {
        {"Dropped.REG", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Dropped]\r\n", "[HKEY_CURRENT_USER\\Dropped]",
         [this](QWidget* modal) {
             return modal == frmKeyContent_.get() ? frmKeyContent_->Text().toStdString() : std::string();
         }},
        {"Page.Opal", "<opal><body><label value=x></body></opal>", "",
         [](QWidget* modal) {
             auto* explorer = qobject_cast<markup::TOPALExplorer*>(modal);
             return explorer ? explorer->FileName() : std::string();
         }},
        {"data.bin", "\x01\x02\x03", "\x01\x02\x03",
         [this](QWidget* modal) { return modal == frmBin_.get() ? frmBin_->Bytes() : std::string(); }},
    };
    for (const Drop& drop : drops) {
        SCOPED_TRACE(drop.name);
        const std::string file = File(drop.name);
        std::ofstream(file, std::ios::binary) << drop.content;
        std::string shown;
        WhenModal([&](QWidget* modal) {
            shown = drop.shown(modal);
            modal->close();
        });
        frmMain_->OpenDroppedFile(file);
        EXPECT_NE(shown.find(drop.expected.empty() ? file : drop.expected), std::string::npos) << shown;
    }
}

} // namespace
} // namespace hw::test
