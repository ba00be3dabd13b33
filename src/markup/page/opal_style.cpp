#include "markup/page/opal_style.h"

#include "markup/opal_attributes.h"
#include "markup/opal_values.h"

#include <QWidget>

#include <charconv>

namespace hw::markup {
namespace {

constexpr TColor kWhite = 0xFFFFFF;
// The system's button-text colour: the palette's own text colour here.
constexpr TColor kButtonTextColor = 0x80000012;
constexpr TColor kSystemColorFlag = 0x80000000;

} // namespace

QColor ToQColor(TColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

void ApplyBackground(QWidget& control, const std::string& attributes, QPalette::ColorRole role) {
    QPalette palette = control.palette();
    if (BoolValue(GetAttribute(attributes, "transparent"), false)) {
        // Window-coloured controls let the parent show through; boxes take the parent's colour.
        if (role == QPalette::Window) {
            control.setAutoFillBackground(false);
            return;
        }
        const QWidget* parent = control.parentWidget();
        palette.setColor(role, parent ? parent->palette().color(QPalette::Window) : QColor(Qt::white));
    } else if (role == QPalette::Window) {
        // Buttons such as check boxes fill with their own role.
        palette.setColor(control.backgroundRole(),
                         ToQColor(ColorValue(GetAttribute(attributes, "color"), kWhite)));
        control.setAutoFillBackground(true);
    } else {
        palette.setColor(role, ToQColor(ColorValue(GetAttribute(attributes, "color"), kWhite)));
    }
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
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, ToQColor(color));
    control.setPalette(palette);
}

} // namespace hw::markup
