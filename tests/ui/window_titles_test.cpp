// Window titles: whole in the title bar, naming what a window edits, marked while it is changed.
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/title_width.h"
#include "ui/document_title.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QWindow>

#include <gtest/gtest.h>

namespace hw::ui {
namespace {

void EnsureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

TEST(WindowTitlesTest, MessageBoxesAreWideEnoughForTheirTitle) {
    EnsureApplication();
    for (const char* caption : {"System Notify", "Systemmitteilung über eine fehlgeschlagene Aktion", "N"}) {
        SCOPED_TRACE(caption);
        for (util::MessageKind kind : {util::MessageKind::Notice, util::MessageKind::Question}) {
            auto box = platform::MakeMessageBox(kind, caption, "n");
            box->show();
            QApplication::processEvents();
            QFont bold = box->font();
            bold.setBold(true);
            EXPECT_GE(box->width(), QFontMetrics(bold).horizontalAdvance(QString::fromUtf8(caption)) + 128);
            EXPECT_GE(box->width(), platform::TitleBarWidth(*box));
            box->hide();
        }
    }
}

TEST(WindowTitlesTest, DocumentTitlesNameTheDocumentAndShowTheModifiedMark) {
    EnsureApplication();
    struct Case {
        QString document;
        bool modified;
        QString shown; // the title with Qt's mark put in
    };
    const Case cases[] = {
        {QStringLiteral("Path"), false, QStringLiteral("Path - Editor")},
        {QStringLiteral("Path"), true, QStringLiteral("Path - Editor*")},
        {QString(), true, QStringLiteral("Editor*")},
        {QStringLiteral("odd [*] name"), true, QStringLiteral("odd [*] name - Editor*")},
    };
    for (const Case& c : cases) {
        QDialog window;
        SetDocumentTitle(window, c.document, QStringLiteral("Editor"), c.modified);
        window.show();
        // The title the window system gets, with Qt's placeholder resolved.
        ASSERT_TRUE(window.windowHandle());
        EXPECT_EQ(window.windowHandle()->title(), c.shown) << window.windowTitle().toStdString();
        window.hide();
    }
}

} // namespace
} // namespace hw::ui
