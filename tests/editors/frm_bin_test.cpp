#include "editors/window/frm_bin.h"
#include "editors/window/frm_bin_find.h"
#include "editors/window/hex_print.h"
#include "editors/window/hex_view.h"
#include "editors/window/picture_file.h"
#include "support/qt/child.h"
#include "support/qt/when_modal.h"
#include "support/qt/window_fixture.h"
#include "support/temp_registry.h"
#include "util/file_io.h"
#include "util/scripted_dialogs.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace hw::editors {
namespace {

void Press(QWidget* target, int key, const QString& text = {}, Qt::KeyboardModifiers modifiers = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

void Type(QWidget* target, const QString& text) {
    for (QChar c : text)
        Press(target, c.toUpper().unicode(), QString(c));
}

class FrmBinTest : public ::testing::Test {
  protected:
    FrmBinTest() { editor_.SetPictureFolder(dir_.path().string()); }

    // Runs command while a find dialog answers with hexText.
    void FindWith(const QString& hexText, const std::function<void()>& command) {
        test::WhenModal([hexText](QWidget* modal) {
            auto* find = qobject_cast<TfrmBinFind*>(modal);
            ASSERT_NE(find, nullptr);
            test::Child<QLineEdit>(*find, "edtHex")->setText(hexText);
            test::Child<QPushButton>(*find, "btnFind")->click();
        });
        command();
    }

    // The application object must exist before the editor.
    const bool qtReady_ = (test::EnsureQtApplication(), true);
    test::TempDir dir_;
    util::ScriptedDialogs dialogs_;
    TfrmBin editor_;
};

TEST_F(FrmBinTest, EditingAValueGivesTheTypedBytesOnOkAndNothingOnCancel) {
    test::WhenModal([this](QWidget*) {
        EXPECT_TRUE(test::Child<QLineEdit>(editor_, "edtName")->isVisible());
        EXPECT_EQ(test::Child<QLabel>(editor_, "lblLength")->text(), "length: 3 bytes");
        Press(test::Child<HexView>(editor_, "mmHexValue"), Qt::Key_Right, {});
        Type(test::Child<HexView>(editor_, "mmHexValue"), "f"); // on the low digit of byte 0
        Press(test::Child<HexView>(editor_, "mmHexValue"), Qt::Key_Delete, {});
        Press(test::Child<HexView>(editor_, "mmHexValue"), Qt::Key_Return, {});
    });
    EXPECT_EQ(editor_.EditValueBytes("Blob", "\x12\x34\x56"), std::optional<std::string>("\x1F\x56"));
    EXPECT_EQ(test::Child<QLineEdit>(editor_, "edtName")->text(), "");
    EXPECT_TRUE(editor_.Bytes().empty());

    test::WhenModal([](QWidget* modal) { Press(modal->focusWidget(), Qt::Key_Escape, {}); });
    EXPECT_EQ(editor_.EditValueBytes("Blob", "\x01"), std::nullopt);
}

TEST_F(FrmBinTest, LengthAndScrollRangeFollowTheBytes) {
    for (std::size_t count : {33u, 256u, 257u}) {
        editor_.SetBytes(std::string(count, 'x'));
        EXPECT_EQ(test::Child<QLabel>(editor_, "lblLength")->text(), QString("length: %1 bytes").arg(count));
        EXPECT_EQ(test::Child<HexView>(editor_, "mmHexValue")->verticalScrollBar()->maximum(),
                  count > 256 ? 1 : 0)
            << count;
    }
    // Ctrl+A selects everything in both columns; other Ctrl keys change nothing.
    Press(test::Child<HexView>(editor_, "mmHexValue"), Qt::Key_A, "a", Qt::ControlModifier);
    EXPECT_EQ(test::Child<HexView>(editor_, "mmHexValue")->Document().HexRange(),
              (TextRange{0, 3 * 257 - 1}));
    EXPECT_EQ(test::Child<HexView>(editor_, "mmHexValue")->Document().CharRange(), (TextRange{0, 257}));
    Press(test::Child<HexView>(editor_, "mmHexValue"), Qt::Key_B, "b", Qt::ControlModifier);
    Press(test::Child<HexView>(editor_, "mmHexValue"), Qt::Key_Backspace, {});
    EXPECT_EQ(editor_.Bytes().size(), 257u);
}

TEST_F(FrmBinTest, InternalClipboardCutCopyPasteAndDelete) {
    editor_.SetBytes(std::string("\x00\x11\x22\x33", 4));
    editor_.Copy();
    EXPECT_FALSE(editor_.ClipboardFilled());
    editor_.Paste();
    EXPECT_EQ(editor_.HexText(), "00 11 22 33");

    test::Child<HexView>(editor_, "mmHexValue")->SetHexSelection({2, 6});
    editor_.Copy();
    EXPECT_TRUE(editor_.ClipboardFilled());
    EXPECT_EQ(QApplication::clipboard()->text(), "11 22");
    test::Child<HexView>(editor_, "mmHexValue")->SetHexSelection({10, 0});
    editor_.Paste();
    EXPECT_EQ(editor_.HexText(), "00 11 22 11 22 33");
    test::Child<HexView>(editor_, "mmHexValue")->SetHexSelection({0, 5});
    editor_.Cut();
    EXPECT_EQ(editor_.HexText(), "22 11 22 33");
    test::Child<HexView>(editor_, "mmHexValue")->SetHexSelection({2, 3});
    editor_.DeleteSelection();
    EXPECT_EQ(editor_.HexText(), "22 22 33");
    EXPECT_EQ(editor_.PrintableText(), "..3");

    editor_.SetBytes({});
    editor_.Paste();
    EXPECT_EQ(editor_.HexText(), "00 11");
}

TEST_F(FrmBinTest, FindSelectsWholeBytesAndFindNextReportsTheEnd) {
    editor_.SetBytes(std::string("\x00\x11\x22\x33\x22", 5));
    FindWith("22", [this] { editor_.FindNext(); }); // before any Find it asks
    EXPECT_TRUE(editor_.FindSucceeded());
    EXPECT_EQ(test::Child<HexView>(editor_, "mmHexValue")->Document().HexRange(), (TextRange{5, 3}));
    EXPECT_EQ(test::Child<HexView>(editor_, "mmHexValue")->Document().CharRange(), (TextRange{2, 1}));
    editor_.FindNext();
    EXPECT_EQ(test::Child<HexView>(editor_, "mmHexValue")->Document().CharRange(), (TextRange{4, 1}));
    editor_.FindNext();
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"Find finished!"});
    EXPECT_EQ(test::Child<HexView>(editor_, "mmHexValue")->Document().CharRange(), (TextRange{4, 1}));
    EXPECT_TRUE(editor_.FindSucceeded());

    test::Child<HexView>(editor_, "mmHexValue")->SetHexSelection({0, 0});
    FindWith("44", [this] { editor_.Find(); });
    EXPECT_FALSE(editor_.FindSucceeded());
    EXPECT_EQ(dialogs_.texts().back(), "Not found!");
}

TEST_F(FrmBinTest, FindDialogKeepsTheBoxesInStep) {
    TfrmBinFind& find = (*test::Child<TfrmBinFind>(editor_, "frmBinFind"));
    test::Child<QLineEdit>(find, "edtText")->setText("AB");
    EXPECT_EQ(test::Child<QLineEdit>(find, "edtHex")->text(), "41 42");

    struct Case {
        QString typed;
        QString hex;
        QString text;
    };
    for (const Case& test : {Case{"4a", "4A", "AB"}, Case{"4a ", "4A ", "J"}, Case{"4 ", " ", ""},
                             Case{"zz ", "FF ", "\xff"}, Case{"41  42 ", "41 42 ", "AB"}}) {
        test::Child<QLineEdit>(find, "edtHex")->clear();
        test::Child<QLineEdit>(find, "edtText")->setText("AB");
        test::Child<QLineEdit>(find, "edtHex")->clear();
        Type(test::Child<QLineEdit>(find, "edtHex"), test.typed);
        EXPECT_EQ(test::Child<QLineEdit>(find, "edtHex")->text(), test.hex) << test.typed.toStdString();
        if (test.typed.endsWith(' ') && test.typed != "zz ") {
            EXPECT_EQ(test::Child<QLineEdit>(find, "edtText")->text(), test.text) << test.typed.toStdString();
        }
    }
    test::Child<QLineEdit>(find, "edtHex")->setText("41 42   ");
    EXPECT_EQ(find.SearchText(), "41 42");
}

TEST_F(FrmBinTest, LoadingAsksFromAFileOf65536BytesAndRefusesWhatIsNoRegularFile) {
    const std::string small = dir_.file("small.bin");
    const std::string large = dir_.file("large.bin");
    util::WriteFileBytes(small, std::string(65535, 'a'));
    util::WriteFileBytes(large, std::string(65536, 'b'));
    EXPECT_TRUE(editor_.LoadFile(small));
    EXPECT_TRUE(dialogs_.shown().empty());
    EXPECT_FALSE(editor_.LoadFile(large)); // the question declined
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"File size is large,do you continue to load it?"});
    EXPECT_EQ(editor_.Bytes().size(), 65535u);
    dialogs_.QueueAnswer(true);
    EXPECT_TRUE(editor_.LoadFile(large));
    EXPECT_EQ(editor_.Bytes().size(), 65536u);

    const std::string fifo = dir_.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name :
         {fifo, dir_.path().string(), std::string("/dev/zero"), dir_.file("none")}) {
        EXPECT_FALSE(editor_.LoadFile(name)) << name;
        EXPECT_FALSE(editor_.LoadFailure().empty()) << name;
    }
    EXPECT_EQ(editor_.Bytes().size(), 65536u);
}

TEST_F(FrmBinTest, ASaveThatFailsHalfWayLeavesTheOldFile) {
    const std::string target = dir_.file("kept.bin");
    util::WriteFileBytes(target, "old content");
    editor_.SetBytes(std::string(1 << 20, 'n'));
    // A file size limit makes the write fail part way, as a full disk would.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool saved_ok = editor_.SaveFile(target);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(util::ReadFileBytes(target), std::optional<std::string>("old content"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);

    EXPECT_TRUE(editor_.SaveFile(target));
    EXPECT_EQ(util::ReadFileBytes(target)->size(), 1u << 20);
}

TEST_F(FrmBinTest, PicturesAreWrittenInTheirNamesFormatAndShownFromTheBytes) {
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    image.setPixel(0, 0, qRgb(255, 0, 0));
    struct Case {
        const char* name;
        QByteArray format;
    };
    for (const Case& test :
         {Case{"x.gif", "gif"}, Case{"x.jpg", "jpeg"}, Case{"x.jpeg", "jpeg"}, Case{"x.bmp", "bmp"},
          Case{"x.png", "png"}, Case{"x.webp", "webp"}, Case{"x.pic", "bmp"}}) {
        const QString name = QString::fromStdString(dir_.file(test.name));
        ASSERT_TRUE(WritePictureFile(image, name)) << test.name;
        const QImage back = QImage(name);
        EXPECT_EQ(QImageReader::imageFormat(name), test.format) << test.name;
        ASSERT_EQ(back.size(), image.size()) << test.name;
        if (test.format == "jpeg" || test.format == "webp") continue; // lossy
        EXPECT_EQ(back.pixel(0, 0) & 0xFFFFFF, 0xFF0000u) << test.name;
        EXPECT_EQ(back.pixel(5, 3) & 0xFFFFFF, 0x0000FFu) << test.name;
    }

    editor_.show();
    ASSERT_TRUE(editor_.LoadFile(dir_.file("x.gif")));
    test::Child<QTabBar>(editor_, "tbstMain")->setCurrentIndex(1);
    EXPECT_EQ(editor_.Picture().size(), image.size());
    EXPECT_TRUE(test::Child<QLabel>(editor_, "lblInfo")->text().isEmpty());
    EXPECT_TRUE(std::filesystem::exists(dir_.file("HIVEWRIGHTIAMGE.GIF")));
    EXPECT_TRUE(editor_.SavePictureFile(QString::fromStdString(dir_.file("again.jpeg"))));
    EXPECT_EQ(QImageReader::imageFormat(QString::fromStdString(dir_.file("again.jpeg"))), "jpeg");

    test::Child<QTabBar>(editor_, "tbstMain")->setCurrentIndex(0);
    editor_.SetBytes(std::string(10, '\0'));
    test::Child<QTabBar>(editor_, "tbstMain")->setCurrentIndex(1);
    EXPECT_TRUE(editor_.Picture().isNull());
    EXPECT_EQ(test::Child<QLabel>(editor_, "lblInfo")->text(), "Unknown Image format!");
    EXPECT_FALSE(editor_.SavePictureFile(QString::fromStdString(dir_.file("none.bmp"))));
    editor_.hide();
}

TEST_F(FrmBinTest, ThePicturePageShowsEveryFormatQtReads) {
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(QColor(0, 128, 0));
    const auto encoded = [&image](const char* format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(image.save(&buffer, format)) << format;
        return bytes.toStdString();
    };
    const std::string svg = "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" width=\"8\" "
                            "height=\"8\"><rect width=\"8\" height=\"8\" fill=\"green\"/></svg>";
    // A JPEG with an Exif block has no JFIF mark.
    std::string exifJpeg = encoded("jpeg");
    exifJpeg.replace(6, 4, "Exif");
    editor_.show();
    for (const auto& [format, bytes] : {std::pair<std::string, std::string>{"png", encoded("png")},
                                        {"webp", encoded("webp")},
                                        {"ico", encoded("ico")},
                                        {"tiff", encoded("tiff")},
                                        {"svg", svg},
                                        {"exif jpeg", exifJpeg}}) {
        SCOPED_TRACE(format);
        test::Child<QTabBar>(editor_, "tbstMain")->setCurrentIndex(0);
        editor_.SetBytes(bytes);
        test::Child<QTabBar>(editor_, "tbstMain")->setCurrentIndex(1);
        EXPECT_EQ(editor_.Picture().size(), image.size());
        EXPECT_TRUE(test::Child<QLabel>(editor_, "lblInfo")->text().isEmpty())
            << test::Child<QLabel>(editor_, "lblInfo")->text().toStdString();
    }
    editor_.hide();
}

TEST_F(FrmBinTest, PrintsEveryLineUnderTheTitleToAPdfFile) {
    editor_.SetValueName("Blob");
    EXPECT_EQ(editor_.PrintTitle(), "Blob   hex content");
    HexDocument document;
    document.SetBytes(std::string(5000, 'A')); // more lines than one page holds
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir_.file("out.pdf")));
    ASSERT_TRUE(PrintHexLines(printer, document, editor_.PrintTitle()));
    const std::optional<std::string> pdf = util::ReadFileBytes(dir_.file("out.pdf"));
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->substr(0, 4), "%PDF");
    // 313 lines take several pages.
    const std::size_t count = pdf->find("/Count ");
    ASSERT_NE(count, std::string::npos);
    EXPECT_GT(std::stoi(pdf->substr(count + 7, 4)), 1);
}

} // namespace
} // namespace hw::editors
