#include "markup/page/opal_page.h"

#include "core/ascii_case.h"
#include "i18n/name_list.h"
#include "i18n/text_table.h"
#include "markup/opal_attributes.h"
#include "markup/opal_parser.h"
#include "markup/opal_value_io.h"
#include "markup/page/opal_placement.h"
#include "markup/page/opal_style.h"
#include "markup/page/opal_text.h"
#include "ui/form_parts.h"
#include "util/dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace hw::markup {
namespace {

constexpr int kSubmitPadding = 20;
constexpr QSize kPanelSize(185, 41);
constexpr QSize kPictureSize(105, 105);
constexpr TColor kViewColor = 0xFFFFFF;

std::string Attribute(const TOPALElement& element, std::string_view name) {
    return GetAttribute(element.Attributes, name);
}

bool StretchWanted(const std::string& text) {
    return core::EqualsIgnoringCase(text, "true") || core::EqualsIgnoringCase(text, "yes") || text == "1";
}

QPixmap LoadPicture(const std::string& fileName) {
    return fileName.empty() ? QPixmap() : QPixmap(Widen(fileName));
}

std::string InputName(const TOPALElement& element) {
    if (!element.Name.empty()) return element.Name;
    const std::string value = Attribute(element, "valuename");
    return Attribute(element, "keyname") + "\\" + (value.empty() ? std::string("(Default)") : value);
}

void RestrictToDigits(QWidget& control) {
    auto* edit = qobject_cast<QLineEdit*>(&control);
    if (auto* box = qobject_cast<QComboBox*>(&control)) edit = box->lineEdit();
    if (edit) edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
}

} // namespace

TOPALPage::TOPALPage(QWidget* parent) : QScrollArea(parent), canvas_(new QWidget) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    QFont pageFont("Times New Roman");
    pageFont.setPointSize(9);
    setFont(pageFont);
    MarkViewCanvas(*canvas_);
    canvas_->setAutoFillBackground(true);
    document_.Body.BgColor = kViewColor;
    QPalette palette = canvas_->palette();
    SetPageColors(palette, kViewColor);
    canvas_->setPalette(palette);
    setWidget(canvas_);
}

TOPALPage::~TOPALPage() {
    ClearDocument();
}

void TOPALPage::RenderDocument(std::string_view source) {
    rendering_ = true;
    canvas_->hide();
    ClearDocument();
    ParseDocument(document_, source);
    QPalette palette = canvas_->palette();
    SetPageColors(palette, document_.Body.BgColor);
    canvas_->setPalette(palette);
    ShowBackground();
    for (TOPALElement* element = document_.Body.First; element; element = NextInDocumentOrder(*element))
        CreateElementControl(*element);
    FitCanvas();
    ChainTabStops();
    canvas_->show();
    rendering_ = false;
}

void TOPALPage::ChainTabStops() {
    std::vector<QWidget*> stops;
    for (QWidget* control : canvas_->findChildren<QWidget*>())
        if ((control->focusPolicy() & Qt::TabFocus) && !control->focusProxy()) stops.push_back(control);
    // Tab follows the page as it reads, whatever order the document lists its controls in; controls on
    // one line (a group's buttons before its layout placed them) keep the document's order.
    std::stable_sort(stops.begin(), stops.end(), [this](const QWidget* first, const QWidget* second) {
        const QPoint a = first->mapTo(canvas_, QPoint());
        const QPoint b = second->mapTo(canvas_, QPoint());
        return std::pair(a.y(), a.x()) < std::pair(b.y(), b.x());
    });
    ui::SetTabChain(stops);
}

void TOPALPage::ClearDocument() {
    inputs_.clear();
    // Deleting a control deletes its children's controls with it.
    const auto controls = canvas_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (auto control = controls.rbegin(); control != controls.rend(); ++control)
        if (*control != background_) delete *control;
    const TColor bgColor = document_.Body.BgColor;
    document_ = TOPALDocument();
    document_.Body.BgColor = bgColor;
}

void TOPALPage::ShowBackground() {
    delete background_;
    background_ = nullptr;
    const std::string& name = document_.Body.Background;
    if (name.empty() || !QFileInfo::exists(Widen(name))) return;
    const QPixmap picture = LoadPicture(name);
    if (picture.isNull()) return;
    background_ = new QLabel(canvas_);
    background_->setScaledContents(true);
    background_->setPixmap(picture);
    background_->setGeometry(canvas_->rect());
    background_->lower();
    background_->show();
}

void TOPALPage::CreateElementControl(TOPALElement& element) {
    QWidget* parent = element.Parent && element.Parent->Control ? ControlOf(*element.Parent) : canvas_;
    QWidget* control = nullptr;
    try {
        switch (element.Kind) {
        case ekLabel: {
            auto* label = new QLabel(parent);
            control = label;
            label->setTextFormat(Qt::PlainText);
            label->setText(Widen(element.Value));
            ApplyBackground(*label, element.Attributes, QPalette::Window);
            ApplyFont(*label, element.Attributes);
            label->adjustSize();
            break;
        }
        case ekPanel: {
            auto* panel = new QFrame(parent);
            control = panel;
            panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
            panel->resize(kPanelSize);
            ApplyBackground(*panel, element.Attributes, QPalette::Window);
            ApplyFont(*panel, element.Attributes);
            DockOnResize(*panel);
            break;
        }
        case ekSubmit: {
            auto* button = new QPushButton(parent);
            control = button;
            button->setIcon(submitIcon_);
            const std::string caption =
                element.Value.empty() ? i18n::LookupText(i18n::Text::SaveSetting) : element.Value;
            button->setText(Widen(caption));
            ApplyFont(*button, element.Attributes);
            const int points = std::max(button->font().pointSize(), 0);
            button->resize(static_cast<int>(button->text().size()) * points + kSubmitPadding,
                           button->sizeHint().height());
            connect(button, &QPushButton::clicked, this, &TOPALPage::SaveSettings);
            break;
        }
        case ekImage: {
            auto* picture = new QLabel(parent);
            control = picture;
            const QPixmap pixmap = LoadPicture(element.Value);
            picture->setPixmap(pixmap);
            picture->resize(pixmap.isNull() ? kPictureSize : pixmap.size());
            picture->setScaledContents(StretchWanted(Attribute(element, "strech")));
            break;
        }
        case ekInput:
            control = CreateInputControl(element, parent);
            break;
        }
        element.Control = control;
        if (element.Kind == ekInput && !inputs_.empty() && inputs_.back().element == &element) {
            OPALInput& input = inputs_.back();
            ShowCurrentValue(input, std::nullopt);
            input.readText = RawControlValueText(input);
            // A page's own initial text is a change it proposes over what the registry holds.
            if (!element.Value.empty()) ShowCurrentValue(input, element.Value);
        }
        PlaceControl(element, *control);
        control->show();
    } catch (...) {
        // A control that failed half way stays as far as it got; the page goes on.
        if (control) control->show();
    }
}

QWidget* TOPALPage::CreateInputControl(TOPALElement& element, QWidget* parent) {
    OPALInput input;
    input.element = &element;
    input.type = InputTypeOf(Attribute(element, "type"));
    input.dataType = DataTypeOf(Attribute(element, "datatype"));
    input.options = OptionList(element.Items);
    const QString caption = Widen(Attribute(element, "caption"));
    QStringList items;
    for (const std::string& item : input.options.ItemTexts())
        items.push_back(Widen(item));
    QWidget* control = nullptr;
    QPalette::ColorRole role = QPalette::Base;
    switch (input.type) {
    case InputType::Edit:
        control = new QLineEdit(parent);
        break;
    case InputType::Memo:
        control = new QPlainTextEdit(parent);
        break;
    case InputType::Button:
        control = new QPushButton(parent);
        role = QPalette::NoRole;
        break;
    case InputType::CheckBox:
        control = new QCheckBox(caption, parent);
        role = QPalette::Window;
        break;
    case InputType::RadioGroup: {
        auto* group = new QGroupBox(caption, parent);
        auto* layout = new QVBoxLayout(group);
        input.radios = new QButtonGroup(group);
        for (int i = 0; i < items.size(); ++i) {
            auto* radio = new QRadioButton(items[i], group);
            layout->addWidget(radio);
            input.radios->addButton(radio, i);
        }
        layout->addStretch();
        group->adjustSize();
        control = group;
        role = QPalette::Window;
        break;
    }
    case InputType::DropDown: {
        auto* box = new QComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(items);
        control = box;
        break;
    }
    case InputType::CheckList: {
        auto* list = new QListWidget(parent);
        list->setSpacing(1);
        for (const QString& text : items) {
            auto* item = new QListWidgetItem(text, list);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        control = list;
        break;
    }
    }
    if (role != QPalette::NoRole) ApplyBackground(*control, element.Attributes, role);
    ApplyFont(*control, element.Attributes);
    if (input.type != InputType::RadioGroup) control->resize(control->sizeHint());
    input.control = control;
    if (IsNumberType(input.dataType)) RestrictToDigits(*control);
    inputs_.push_back(std::move(input));
    return control;
}

void TOPALPage::SaveSettings() {
    const SaveReport report = WriteSettings();
    // What was written first, then what was refused or failed.
    std::string notice = i18n::FormatText(i18n::Text::ValuesWritten, {std::to_string(report.written)});
    if (!report.notANumber.empty())
        notice += "\n\n" + i18n::NameListText(i18n::LookupText(i18n::Text::NotNumbers), report.notANumber);
    if (!report.notWritten.empty())
        notice +=
            "\n\n" + i18n::NameListText(i18n::LookupText(i18n::Text::ValuesNotWritten), report.notWritten);
    util::NoticeBox(notice);
}

SaveReport TOPALPage::WriteSettings() {
    SaveReport report;
    for (OPALInput& input : inputs_) {
        const TOPALElement& element = *input.element;
        const std::string raw = RawControlValueText(input);
        if (raw == input.readText) continue;
        // Normalising would write 0 over the value.
        if (IsNumberType(input.dataType) && !DwordOfText(raw)) {
            report.notANumber.push_back(InputName(element));
            continue;
        }
        const std::string key = Attribute(element, "keyname");
        const std::string value = Attribute(element, "valuename");
        if (WriteBoundValueText(key, value, NormalizeValueText(raw, input.dataType), input.dataType)) {
            input.readText = raw;
            ++report.written;
        } else {
            report.notWritten.push_back(key + "\\" + (value.empty() ? std::string("(Default)") : value));
        }
    }
    return report;
}

void TOPALPage::RefitControls() {
    DockChildren(*canvas_, viewport()->size());
    for (TOPALElement* element = document_.Body.First; element; element = NextInDocumentOrder(*element))
        if (QWidget* control = ControlOf(*element)) RefitControl(*element, *control);
    FitCanvas();
}

void TOPALPage::FitCanvas() {
    QSize size = viewport()->size();
    for (QObject* child : canvas_->children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (!control || control == background_ || control->isHidden()) continue;
        // A label is as wide as the rule makes it, but only its text needs room.
        const int width = qobject_cast<QLabel*>(control)
                              ? std::min(control->width(), control->sizeHint().width())
                              : control->width();
        size = size.expandedTo(QSize(control->x() + width, control->y() + control->height()));
    }
    canvas_->resize(size);
    DockChildren(*canvas_, viewport()->size());
    if (background_) background_->setGeometry(canvas_->rect());
}

void TOPALPage::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    if (!rendering_) RefitControls();
}

} // namespace hw::markup
