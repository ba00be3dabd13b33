#include "markup/page/opal_style.h"

#include "markup/opal_attributes.h"
#include "markup/opal_values.h"

#include <QWidget>

#include <charconv>
#include <cmath>

namespace hw::markup {
namespace {

constexpr TColor kWhite = 0xFFFFFF;

// The role of the text drawn on a background role.
QPalette::ColorRole TextRoleOn(QPalette::ColorRole background) {
    switch (background) {
    case QPalette::Base:
        return QPalette::Text;
    case QPalette::Button:
        return QPalette::ButtonText;
    default:
        return QPalette::WindowText;
    }
}
// The system's button-text colour: the palette's own text colour here.
constexpr TColor kButtonTextColor = 0x80000012;
constexpr TColor kSystemColorFlag = 0x80000000;

// A colour of the desktop theme (the application's palette) rather than one the page chose.
bool IsThemeColor(const QColor& color) {
    const QPalette theme;
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::WindowText,
                            QPalette::Text, QPalette::ButtonText})
        if (theme.color(role) == color) return true;
    return false;
}

} // namespace

QColor ToQColor(TColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QColor ShownBackground(TColor color, const QPalette& palette) {
    return color == kWhite ? palette.color(QPalette::Base) : ToQColor(color);
}

QColor ReadableOn(const QColor& background, const QColor& text) {
    constexpr float kLeastContrast = 0.4F;
    const float light = background.lightnessF();
    if (std::abs(light - text.lightnessF()) >= kLeastContrast) return text;
    return light > 0.5F ? QColor(Qt::black) : QColor(Qt::white);
}

void SetPageColors(QPalette& palette, TColor color) {
    const QColor background = ShownBackground(color, palette);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, ReadableOn(background, palette.color(QPalette::WindowText)));
}

void ApplyBackground(QWidget& control, const std::string& attributes, QPalette::ColorRole role) {
    QPalette palette = control.palette();
    // Buttons such as check boxes fill with their own role.
    const QPalette::ColorRole filled = role == QPalette::Window ? control.backgroundRole() : role;
    QColor background;
    if (BoolValue(GetAttribute(attributes, "transparent"), false)) {
        // Window-coloured controls let the parent show through; boxes take the parent's colour.
        if (role == QPalette::Window) {
            control.setAutoFillBackground(false);
            return;
        }
        const QWidget* parent = control.parentWidget();
        background = parent ? parent->palette().color(QPalette::Window) : palette.color(QPalette::Base);
    } else {
        background = ShownBackground(ColorValue(GetAttribute(attributes, "color"), kWhite), palette);
        if (role == QPalette::Window) control.setAutoFillBackground(true);
    }
    palette.setColor(filled, background);
    const QPalette::ColorRole text = TextRoleOn(filled);
    if (IsThemeColor(palette.color(text)))
        palette.setColor(text, ReadableOn(background, palette.color(text)));
    control.setPalette(palette);
}

void ApplyFont(QWidget& control, const std::string& attributes) {
    const std::string face = GetAttribute(attributes, "font");
    const std::string size = GetAttribute(attributes, "fontsize");
    int points = 0;
    const char* end = size.data() + size.size();
    const auto [stop, error] = std::from_chars(size.data(), end, points);
    const bool sized = !size.empty() && error == std::errc() && stop == end && points > 0;
    // Setting a font the control already inherits would only cost time on large pages.
    if (!face.empty() || sized) {
        QFont font = control.font();
        if (!face.empty()) font.setFamily(QString::fromUtf8(face.c_str()));
        if (sized) font.setPointSize(points);
        control.setFont(font);
    }
    const TColor color = ColorValue(GetAttribute(attributes, "fontcolor"), kButtonTextColor);
    if (color & kSystemColorFlag) return;
    QPalette palette = control.palette();
    // The page's own colours are its author's choice; on the theme's it must stay readable.
    for (const auto background : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        const QColor behind = palette.color(background);
        palette.setColor(TextRoleOn(background),
                         IsThemeColor(behind) ? ReadableOn(behind, ToQColor(color)) : ToQColor(color));
    }
    control.setPalette(palette);
}

} // namespace hw::markup
