#include "app/window/frm_about.h"
#include "app/window/frm_current_key.h"
#include "app/window/frm_goto.h"
#include "i18n/text_table.h"
#include "platform/platform_facts.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/user_identity.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"
#include "support/temp_registry.h"
#include "ui/image_list.h"
#include "util/file_io.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace hw::window {
namespace {

using test::Child;
using test::WhenModal;

void SendKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

class DialogsTest : public ::testing::Test {
  protected:
    void SetUp() override { test::EnsureQtApplication(); }
};

// ---- Go To ----

class GoToTest : public DialogsTest {
  protected:
    void TearDown() override { platform::SetPlatformFactsForTesting(savedFacts_); }
    void UsePlatformFamily(int family) {
        platform::PlatformFacts facts = savedFacts_;
        facts.family = family;
        platform::SetPlatformFactsForTesting(facts);
    }

    platform::PlatformFacts savedFacts_ = platform::GetPlatformFacts();
};

TEST_F(GoToTest, StartsWithCurrentUserChosenAndItsSoftwarePath) {
    TfrmGoTo goTo;
    EXPECT_EQ(goTo.windowTitle(), "Go To ...");
    EXPECT_EQ(goTo.KeyText(), "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion");
    EXPECT_EQ(Child<QPushButton>(goTo, "btnOk")->text(), "&Go");
    EXPECT_FALSE(goTo.LastNavigationOk());
    EXPECT_FALSE(Child<QPushButton>(goTo, "btnOk")->icon().isNull());
}

TEST_F(GoToTest, DynamicDataRootIsOfferedOnlyOnFamilyOne) {
    UsePlatformFamily(platform::kPlatformNt);
    TfrmGoTo nt;
    ASSERT_EQ(nt.RootItemCount(), 5);
    EXPECT_EQ(nt.RootItemText(0), "HKEY_CLASSES_ROOT");
    EXPECT_EQ(nt.RootItemText(4), "HKEY_CURRENT_CONFIG");

    UsePlatformFamily(platform::kPlatformWin9x);
    TfrmGoTo win9x;
    ASSERT_EQ(win9x.RootItemCount(), 6);
    EXPECT_EQ(win9x.RootItemText(5), "HKEY_DYN_DATA");
}

TEST_F(GoToTest, ChoosingARootReplacesOnlyTheRootOfTheEdit) {
    TfrmGoTo goTo;
    goTo.SetKeyText("HKCU\\Software\\Test");
    goTo.SelectRootItem(3);
    EXPECT_EQ(goTo.KeyText(), "HKEY_USERS\\Software\\Test");

    goTo.SetKeyText("abc");
    goTo.SelectRootItem(2);
    EXPECT_EQ(goTo.KeyText(), "HKEY_LOCAL_MACHINE\\");

    goTo.SetKeyText("hkcr");
    goTo.SelectRootItem(0);
    EXPECT_EQ(goTo.KeyText(), "HKEY_CLASSES_ROOT\\");

    // Typing does not move the choice, and choosing the item already chosen changes nothing.
    goTo.SetKeyText("HKLM\\Keep");
    goTo.SelectRootItem(0);
    EXPECT_EQ(goTo.KeyText(), "HKLM\\Keep");
}

TEST_F(GoToTest, EnterInTheEditGoesAndEscapeCancels) {
    TfrmGoTo goTo;
    goTo.SetKeyText("HKLM\\Software");
    WhenModal([&goTo](QWidget* modal) {
        EXPECT_EQ(modal, &goTo);
        EXPECT_TRUE(Child<QLineEdit>(goTo, "edtKey")->hasFocus());
        SendKey(Child<QLineEdit>(goTo, "edtKey"), Qt::Key_Return);
    });
    EXPECT_EQ(goTo.ShowForPath(), "HKLM\\Software");

    WhenModal([&goTo](QWidget*) { SendKey(Child<QLineEdit>(goTo, "edtKey"), Qt::Key_Escape); });
    EXPECT_EQ(goTo.ShowForPath(), std::nullopt);
    EXPECT_EQ(goTo.KeyText(), "HKLM\\Software");
}

// ---- Current Key ----

TEST_F(DialogsTest, CurrentKeyShowsSubkeyFullPathAndRealPath) {
    test::TempRegistry registry;
    TfrmCurrentKey currentKey;
    currentKey.SetKeyPath("HKEY_CURRENT_USER\\Software");
    EXPECT_EQ(Child<QLineEdit>(currentKey, "edtShortName")->text(), "Software");
    EXPECT_EQ(Child<QLineEdit>(currentKey, "edtLongName")->text(), "[HKEY_CURRENT_USER\\Software]");
    const std::string userKey = "HKEY_USERS\\" + platform::CurrentUserIdentity().sid + "\\Software";
    EXPECT_EQ(Child<QPlainTextEdit>(currentKey, "mmRealPath")->toPlainText().toStdString(),
              "[" + userKey + "]");
    EXPECT_TRUE(Child<QLineEdit>(currentKey, "edtShortName")->isReadOnly());
    EXPECT_TRUE(Child<QPlainTextEdit>(currentKey, "mmRealPath")->isReadOnly());
    EXPECT_EQ(Child<QPlainTextEdit>(currentKey, "mmRealPath")->lineWrapMode(), QPlainTextEdit::NoWrap);

    currentKey.SetKeyPath("HKEY_CLASSES_ROOT");
    EXPECT_EQ(Child<QLineEdit>(currentKey, "edtShortName")->text(), "");
    EXPECT_EQ(Child<QLineEdit>(currentKey, "edtLongName")->text(), "[HKEY_CLASSES_ROOT]");
    EXPECT_EQ(Child<QPlainTextEdit>(currentKey, "mmRealPath")->toPlainText(),
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES]");
}

TEST_F(DialogsTest, CurrentKeyClosesOnEnterInAnEdit) {
    test::TempRegistry registry;
    TfrmCurrentKey currentKey;
    WhenModal(
        [&currentKey](QWidget*) { SendKey(Child<QLineEdit>(currentKey, "edtLongName"), Qt::Key_Return); });
    currentKey.ShowFor("HKEY_LOCAL_MACHINE\\SOFTWARE");
    EXPECT_FALSE(currentKey.isVisible());
    EXPECT_EQ(Child<QLineEdit>(currentKey, "edtShortName")->text(), "SOFTWARE");
}

// ---- About box ----

void DoubleClick(QWidget* target, int times) {
    for (int i = 0; i < times; ++i) {
        QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &click);
    }
}

TEST_F(DialogsTest, TenthDoubleClickInARowTogglesKeepOpen) {
    TfrmAbout about;
    std::vector<bool> toggled;
    QObject::connect(&about, &TfrmAbout::keepOpenToggled,
                     [&toggled](bool keepOpen) { toggled.push_back(keepOpen); });
    DoubleClick(Child<QFrame>(about, "pnlMain"), 9);
    EXPECT_FALSE(about.KeepOpen());
    EXPECT_EQ(about.DoubleClickCount(), 9);
    DoubleClick(Child<QFrame>(about, "pnlMain"), 1);
    EXPECT_TRUE(about.KeepOpen());
    EXPECT_EQ(about.DoubleClickCount(), 0);
    EXPECT_EQ(toggled, std::vector<bool>{true});

    DoubleClick(Child<QFrame>(about, "pnlMain"), 10);
    EXPECT_FALSE(about.KeepOpen());
    EXPECT_EQ(toggled, (std::vector<bool>{true, false}));
}

TEST_F(DialogsTest, FocusOnThePanelRestartsTheCount) {
    TfrmAbout about;
    DoubleClick(Child<QFrame>(about, "pnlMain"), 7);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(Child<QFrame>(about, "pnlMain"), &focusIn);
    EXPECT_EQ(about.DoubleClickCount(), 0);
    DoubleClick(Child<QFrame>(about, "pnlMain"), 3);
    EXPECT_FALSE(about.KeepOpen());
    DoubleClick(Child<QPushButton>(about, "btnOk"), 10);
    EXPECT_EQ(about.DoubleClickCount(), 3);
}

// ---- Language ----

TEST_F(DialogsTest, ApplyLanguageSetsTheDialogTexts) {
    test::TempDir dir;
    const std::string file = dir.file("LANGUAGE.INI");
    ASSERT_TRUE(util::WriteFileBytes(
        file, "[Test]\r\n3=&Gut\r\n5=&Nein\r\n138=Über\r\n155=Schlüssel\r\n"
              "158=Echt:\r\n194=Gehe zu\r\n195=&Wurzel\r\n197=&Los\r\n333=Registerpflege\r\n"));
    i18n::LoadTextSection(file, "Test");
    TfrmGoTo goTo;
    TfrmCurrentKey currentKey;
    TfrmAbout about;
    goTo.ApplyLanguage();
    currentKey.ApplyLanguage();
    about.ApplyLanguage();
    i18n::LoadTextSection("", "");

    EXPECT_EQ(goTo.windowTitle(), "Gehe zu");
    EXPECT_EQ(Child<QGroupBox>(goTo, "rdgrpHKey")->title(), "&Wurzel");
    EXPECT_EQ(Child<QPushButton>(goTo, "btnOk")->text(), "&Los");
    EXPECT_EQ(Child<QPushButton>(goTo, "btnCancel")->text(), "&Nein");
    EXPECT_EQ(currentKey.windowTitle(), QString::fromUtf8("Schlüssel"));
    EXPECT_EQ(Child<QPushButton>(currentKey, "btnOk")->text(), "&Gut");
    EXPECT_EQ(Child<QLabel>(currentKey, "lblLongName")->text(), "Key long name:");
    EXPECT_EQ(about.windowTitle(), QString::fromUtf8("Über"));
    EXPECT_EQ(Child<QPushButton>(about, "btnOk")->text(), "&Gut");
    EXPECT_EQ(Child<QLabel>(about, "lblDescription")->text(), "Registerpflege");
}

// ---- Picture list ----

bool HasVisiblePixels(const QIcon& icon) {
    const QImage image = icon.pixmap(16, 16).toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0) return true;
    return false;
}

TEST_F(DialogsTest, EveryNamedPictureIsDrawnAndOthersAreEmpty) {
    ASSERT_EQ(ui::imglstMain().size(), ui::kImageCount);
    for (int index :
         {0, 1, 2, 3, 4, 8, 9, 13, 14, 15, 16, 17, 18, 21, 22, 23, 24, 25, 26, 32, 33, 34, 35, 37, 38})
        EXPECT_TRUE(HasVisiblePixels(ui::ImageListIcon(index))) << index;
    for (int index : {29, 30, 31, 36})
        EXPECT_TRUE(ui::ImageListIcon(index).isNull()) << index;
    EXPECT_TRUE(ui::ImageListIcon(-1).isNull());
    EXPECT_TRUE(ui::ImageListIcon(ui::kImageCount).isNull());
    EXPECT_TRUE(HasVisiblePixels(ui::ProgramIcon()));
}

// ---- Qt message boxes ----

TEST_F(DialogsTest, MessageBoxesHaveTheirIconsButtonsAndCaption) {
    auto error = platform::MakeMessageBox(util::MessageKind::Error, util::kMessageBoxCaption, "a <b> & c");
    EXPECT_EQ(error->windowTitle(), "System Notify");
    EXPECT_EQ(error->text(), "a <b> & c");
    EXPECT_EQ(error->textFormat(), Qt::PlainText);
    EXPECT_EQ(error->icon(), QMessageBox::Critical);
    EXPECT_EQ(error->standardButtons(), QMessageBox::Ok);
    EXPECT_TRUE(error->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(error->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(error->parentWidget(), nullptr);

    auto notice = platform::MakeMessageBox(util::MessageKind::Notice, util::kMessageBoxCaption, "n");
    EXPECT_EQ(notice->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(notice->standardButtons(), QMessageBox::Ok);

    auto question = platform::MakeMessageBox(util::MessageKind::Question, util::kMessageBoxCaption, "q");
    EXPECT_EQ(question->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(question->standardButtons(), QMessageBox::Yes | QMessageBox::No);
}

class InstalledMessageBoxesTest : public DialogsTest {
  protected:
    void SetUp() override {
        DialogsTest::SetUp();
        previous_ = util::SetMessageBoxBackend(nullptr);
        platform::InstallQtMessageBoxes();
    }
    void TearDown() override { util::SetMessageBoxBackend(std::move(previous_)); }

    // Answers the next box by pressing the given button (Escape when none) and notes its caption.
    void AnswerNextBox(std::optional<QMessageBox::StandardButton> button) {
        WhenModal([this, button](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            caption_ = box->windowTitle();
            if (button)
                box->button(*button)->click();
            else
                SendKey(box, Qt::Key_Escape);
        });
    }

    std::unique_ptr<util::MessageBoxBackend> previous_;
    QString caption_;
};

TEST_F(InstalledMessageBoxesTest, AskYesNoIsTrueOnlyForYes) {
    AnswerNextBox(QMessageBox::Yes);
    EXPECT_TRUE(util::AskYesNo("Sure?"));
    EXPECT_EQ(caption_, "System Notify");
    AnswerNextBox(QMessageBox::No);
    EXPECT_FALSE(util::AskYesNo("Sure?"));
    AnswerNextBox(std::nullopt);
    EXPECT_FALSE(util::AskYesNo("Sure?"));
}

TEST_F(InstalledMessageBoxesTest, ErrorAndNoticeWaitForOk) {
    AnswerNextBox(QMessageBox::Ok);
    util::ErrorBox("Access registry database error!");
    EXPECT_EQ(caption_, "System Notify");
    caption_.clear();
    AnswerNextBox(QMessageBox::Ok);
    util::NoticeBox("None current key!");
    EXPECT_EQ(caption_, "System Notify");
}

} // namespace
} // namespace hw::window
