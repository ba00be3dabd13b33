#include "markup/page/opal_placement.h"

#include "core/ascii_case.h"
#include "markup/opal_attributes.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string>

namespace hw::markup {
namespace {

enum class Dock { None, Left, Right, Top, Bottom, Client };

constexpr const char* kDockProperty = "opalDock";
// Set on a container once a child docks, so that containers without docked children skip the work.
constexpr const char* kHasDockedProperty = "opalHasDocked";
constexpr const char* kViewCanvasName = "opalViewCanvas";
constexpr int kFullMargin = 10;

std::optional<int> IntegerValue(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

Dock DockOf(const std::string& text) {
    constexpr std::array<std::pair<const char*, Dock>, 5> kDocks = {{
        {"left", Dock::Left},
        {"right", Dock::Right},
        {"top", Dock::Top},
        {"bottom", Dock::Bottom},
        {"client", Dock::Client},
    }};
    for (const auto& [name, dock] : kDocks)
        if (core::EqualsIgnoringCase(text, name)) return dock;
    return Dock::None;
}

Dock DockOfControl(const QWidget& control) {
    return static_cast<Dock>(control.property(kDockProperty).toInt());
}

// What remains of a "full" size after the control's offset, kept off the edge.
int FullSize(int parentSize, int offset) {
    const int size = parentSize - offset;
    return size > kFullMargin ? size - kFullMargin : size;
}

void ApplyWidth(const TOPALElement& element, QWidget& control, bool onlyFull) {
    const std::string width = GetAttribute(element.Attributes, "width");
    const int parentWidth = ParentAreaSize(control).width();
    if (width == "full") {
        control.resize(FullSize(parentWidth, control.x()), control.height());
        return;
    }
    if (onlyFull) return;
    if (const auto value = IntegerValue(width)) {
        control.resize(*value, control.height());
    } else if (element.Kind == ekLabel && control.x() + control.width() < parentWidth) {
        // Never narrower than the label's own text, which would be cut.
        control.resize(std::max(parentWidth - control.width(), control.width()), control.height());
    }
}

void ApplyHeight(const TOPALElement& element, QWidget& control, bool onlyFull) {
    const std::string height = GetAttribute(element.Attributes, "height");
    if (height == "full") {
        control.resize(control.width(), FullSize(ParentAreaSize(control).height(), control.y()));
        return;
    }
    if (onlyFull) return;
    if (const auto value = IntegerValue(height)) control.resize(control.width(), *value);
}

class DockFilter : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            auto* container = static_cast<QWidget*>(watched);
            DockChildren(*container, container->size());
        }
        return false;
    }
};

} // namespace

QSize ParentAreaSize(const QWidget& control) {
    const QWidget* parent = control.parentWidget();
    if (!parent) return {};
    // The page canvas may grow beyond the view to scroll; its controls measure against what is visible.
    if (parent->objectName() == QLatin1String(kViewCanvasName) && parent->parentWidget())
        return parent->parentWidget()->size();
    return parent->size();
}

void PlaceControl(const TOPALElement& element, QWidget& control) {
    const Dock dock = DockOf(GetAttribute(element.Attributes, "align"));
    if (dock != Dock::None) {
        control.setProperty(kDockProperty, static_cast<int>(dock));
        if (control.parentWidget()) control.parentWidget()->setProperty(kHasDockedProperty, true);
    }
    if (const auto left = IntegerValue(GetAttribute(element.Attributes, "left")))
        control.move(*left, control.y());
    if (const auto top = IntegerValue(GetAttribute(element.Attributes, "top")))
        control.move(control.x(), *top);
    ApplyWidth(element, control, false);
    ApplyHeight(element, control, false);
    if (dock != Dock::None && control.parentWidget())
        DockChildren(*control.parentWidget(), ParentAreaSize(control));
}

void RefitControl(const TOPALElement& element, QWidget& control) {
    if (DockOfControl(control) != Dock::None) return;
    ApplyWidth(element, control, true);
    ApplyHeight(element, control, true);
}

void DockChildren(QWidget& container, const QSize& area) {
    if (!container.property(kHasDockedProperty).toBool()) return;
    QRect free(QPoint(0, 0), area);
    for (const Dock side : {Dock::Top, Dock::Bottom, Dock::Left, Dock::Right, Dock::Client}) {
        for (QObject* child : container.children()) {
            auto* control = qobject_cast<QWidget*>(child);
            if (!control || DockOfControl(*control) != side) continue;
            switch (side) {
            case Dock::Top:
                control->setGeometry(free.left(), free.top(), free.width(), control->height());
                free.setTop(free.top() + control->height());
                break;
            case Dock::Bottom:
                control->setGeometry(free.left(), free.bottom() + 1 - control->height(), free.width(),
                                     control->height());
                free.setBottom(free.bottom() - control->height());
                break;
            case Dock::Left:
                control->setGeometry(free.left(), free.top(), control->width(), free.height());
                free.setLeft(free.left() + control->width());
                break;
            case Dock::Right:
                control->setGeometry(free.right() + 1 - control->width(), free.top(), control->width(),
                                     free.height());
                free.setRight(free.right() - control->width());
                break;
            case Dock::Client:
                control->setGeometry(free);
                break;
            case Dock::None:
                break;
            }
        }
    }
}

void DockOnResize(QWidget& container) {
    container.installEventFilter(new DockFilter(&container));
}

void MarkViewCanvas(QWidget& canvas) {
    canvas.setObjectName(kViewCanvasName);
}

} // namespace hw::markup
