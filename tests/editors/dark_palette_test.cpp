// The editors under a dark desktop theme: the cream name box and side columns give way to the theme's
// colours, so the theme's light text stays readable.
#include "editors/window/editor_parts.h"
#include "editors/window/hex_view.h"
#include "support/qt/window_fixture.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace hw::editors {
namespace {

TEST(EditorsDarkPaletteTest, ReadOnlyFieldsAndSideColumnsKeepTheTextReadable) {
    test::EnsureQtApplication();
    const QPalette saved = QApplication::palette();
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        QPalette palette;
        palette.setColor(QPalette::Base, dark ? QColor(30, 30, 30) : QColor(255, 255, 255));
        palette.setColor(QPalette::AlternateBase, dark ? QColor(45, 45, 45) : QColor(245, 245, 245));
        palette.setColor(QPalette::Text, dark ? QColor(230, 230, 230) : QColor(0, 0, 0));
        QApplication::setPalette(palette);

        std::unique_ptr<QLineEdit> name(NewNameEdit(nullptr));
        const QColor base = name->palette().color(QPalette::Base);
        EXPECT_GE(std::abs(base.lightnessF() - name->palette().color(QPalette::Text).lightnessF()), 0.4);
        // A light theme keeps the cream.
        if (!dark) {
            EXPECT_EQ(base, QColor(255, 251, 240));
        }

        HexView view;
        view.resize(400, 200);
        view.SetBytes("some bytes");
        view.show();
        const QImage shot = view.viewport()->grab().toImage();
        const QColor addressColumn = shot.pixelColor(1, shot.height() - 2);
        const QColor charColumn = shot.pixelColor(shot.width() - 2, shot.height() - 2);
        for (const QColor& column : {addressColumn, charColumn})
            EXPECT_GE(std::abs(column.lightnessF() - palette.color(QPalette::Text).lightnessF()), 0.4);
    }
    QApplication::setPalette(saved);
}

} // namespace
} // namespace hw::editors
