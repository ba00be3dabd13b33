// Pages under a dark desktop theme: every text stands out from what it is drawn on.
#include "markup/page/opal_page.h"
#include "support/qt/window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include <gtest/gtest.h>

#include <cmath>

namespace hw::markup {
namespace {

QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 45));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(53, 53, 53));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    return dark;
}

double Contrast(const QWidget& control, QPalette::ColorRole background, QPalette::ColorRole text) {
    return std::abs(control.palette().color(background).lightnessF() -
                    control.palette().color(text).lightnessF());
}

TEST(DarkPaletteTest, PageTextsStandOutFromTheirBackgrounds) {
    test::EnsureQtApplication();
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    {
        test::TempRegistry registry;
        TOPALPage page;
        page.resize(600, 400);
        page.show();
        page.RenderDocument(
            "<opal><head><title>T</title></head><body>"
            "<label value=plain></label>"
            "<label value=dark fontcolor=\"rgb(34,110,84)\"></label>"
            "<label value=band color=\"rgb(34,110,84)\" fontcolor=\"#FFFFFF\"></label>"
            "<label value=light color=\"rgb(240,244,240)\"></label>"
            "<input keyname=\"HKEY_CURRENT_USER\\P\" valuename=v></input>"
            "<input keyname=\"HKEY_CURRENT_USER\\P\" valuename=c type=checkbox caption=Check></input>"
            "</body></opal>");
        // The default white page follows the theme.
        EXPECT_LT(page.widget()->palette().color(QPalette::Window).lightnessF(), 0.5);
        EXPECT_GE(Contrast(*page.widget(), QPalette::Window, QPalette::WindowText), 0.4);
        int checked = 0;
        for (const TOPALElement* element = page.Document().Body.First; element; element = element->Next) {
            const QWidget* control = TOPALPage::ControlOf(*element);
            ASSERT_TRUE(control);
            SCOPED_TRACE(element->Value + " " + control->metaObject()->className());
            if (qobject_cast<const QLineEdit*>(control)) {
                EXPECT_GE(Contrast(*control, QPalette::Base, QPalette::Text), 0.4);
            } else {
                EXPECT_GE(Contrast(*control, control->backgroundRole(), control->foregroundRole()), 0.4);
            }
            ++checked;
        }
        EXPECT_GE(checked, 6);
    }
    QApplication::setPalette(saved);
}

} // namespace
} // namespace hw::markup
