// The free-standing hex editor keeps what the user typed: the title names the file and marks changes, Save
// writes the file in use, Save As starts in its folder, and closing with changes asks first.
#include "editors/window/frm_bin.h"
#include "editors/window/hex_view.h"
#include "support/qt/child.h"
#include "support/qt/when_modal.h"
#include "support/qt/window_fixture.h"
#include "support/temp_registry.h"
#include "util/file_io.h"
#include "util/scripted_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace hw::editors {
namespace {

constexpr const char* kChangedQuestion = "Content had been changed,will you save it?";

class HexFileEditorTest : public ::testing::Test {
  protected:
    const bool qtReady_ = (test::EnsureQtApplication(), true);
    test::TempDir dir_;
    util::ScriptedDialogs dialogs_;
    TfrmBin editor_;
};

TEST_F(HexFileEditorTest, SaveWritesTheFileInUseAndClosingWithChangesAsks) {
    const std::string file = dir_.file("data.bin");
    util::WriteFileBytes(file, "abc");
    bool namedUnchanged = false, markedChanged = false, keptOpen = false, namedOther = false;
    std::optional<std::string> savedInPlace;
    QString saveAsFolder, proposed;
    test::WhenModal([&](QWidget* modal) {
        ASSERT_EQ(modal, &editor_);
        namedUnchanged = editor_.windowTitle().startsWith("data.bin") && !editor_.isWindowModified();
        test::Child<HexView>(editor_, "mmHexValue")->SetBytes("abcd");
        markedChanged = editor_.isWindowModified();
        test::Child<QPushButton>(editor_, "btnSave")->click();
        savedInPlace = util::ReadFileBytes(file);

        test::Child<HexView>(editor_, "mmHexValue")->SetBytes("xyz");
        dialogs_.QueueChoice(util::Answer::Cancel);
        editor_.close();
        keptOpen = editor_.isVisible() && editor_.isWindowModified();

        test::WhenModal([&](QWidget* dialog) {
            auto* chooser = qobject_cast<QFileDialog*>(dialog);
            ASSERT_TRUE(chooser);
            saveAsFolder = chooser->directory().absolutePath();
            // It proposes the file's own name; the user types another.
            auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_TRUE(name);
            proposed = name->text();
            name->setText("other.bin");
            static_cast<QDialog*>(chooser)->accept(); // QFileDialog keeps its accept protected
        });
        test::Child<QPushButton>(editor_, "btnSaveAs")->click();
        namedOther = editor_.windowTitle().startsWith("other.bin") && !editor_.isWindowModified();

        test::Child<HexView>(editor_, "mmHexValue")->SetBytes("dropped");
        dialogs_.QueueChoice(util::Answer::No);
        test::Child<QPushButton>(editor_, "btnOK")->click();
    });
    editor_.ShowFileEditor(file);

    EXPECT_TRUE(namedUnchanged);
    EXPECT_TRUE(markedChanged);
    EXPECT_EQ(savedInPlace, std::optional<std::string>("abcd"));
    EXPECT_TRUE(keptOpen);
    EXPECT_EQ(saveAsFolder, QDir(QString::fromStdString(dir_.path().string())).absolutePath());
    EXPECT_EQ(proposed, "data.bin");
    EXPECT_TRUE(namedOther);
    EXPECT_EQ(util::ReadFileBytes(dir_.file("other.bin")), std::optional<std::string>("xyz"));
    EXPECT_EQ(util::ReadFileBytes(file), std::optional<std::string>("abcd"));
    EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{kChangedQuestion, kChangedQuestion}));
    EXPECT_FALSE(editor_.isVisible());
}

TEST_F(HexFileEditorTest, ANewFilesSaveAsStartsInTheHomeFolder) {
    QString startFolder;
    auto cancelRecordingFolder = [&startFolder](QWidget* dialog) {
        auto* chooser = qobject_cast<QFileDialog*>(dialog);
        ASSERT_TRUE(chooser);
        startFolder = chooser->directory().absolutePath();
        chooser->reject();
    };
    editor_.SetNamedMode(false);
    test::WhenModal(cancelRecordingFolder);
    test::Child<QPushButton>(editor_, "btnSave")->click();
    // Not the current folder (the program's): the home folder, as no folder used earlier still exists.
    EXPECT_EQ(startFolder, QDir::homePath());
}

} // namespace
} // namespace hw::editors
