#include "markup/page/opal_input.h"

#include "markup/opal_attributes.h"
#include "markup/opal_value_io.h"
#include "markup/page/opal_text.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace hw::markup {
namespace {

constexpr const char* kShownText = "opalShownText";
constexpr const char* kOriginalText = "opalOriginalText";

void SelectRadio(QButtonGroup& group, int index) {
    // An exclusive group cannot uncheck its last button.
    group.setExclusive(false);
    for (QAbstractButton* button : group.buttons())
        button->setChecked(group.id(button) == index);
    group.setExclusive(true);
}

} // namespace

void ShowCurrentValue(const OPALInput& input, const std::optional<std::string>& initialText) {
    const std::string& block = input.element->Attributes;
    const std::string current =
        initialText ? NormalizeValueText(*initialText, input.dataType)
                    : ReadBoundValueText(GetAttribute(block, "keyname"), GetAttribute(block, "valuename"));
    switch (input.type) {
    case InputType::Edit:
        static_cast<QLineEdit*>(input.control)->setText(Widen(current));
        break;
    case InputType::Memo: {
        auto* memo = static_cast<QPlainTextEdit*>(input.control);
        memo->setPlainText(Widen(current).replace("\r\n", "\n"));
        // An unedited memo gives back the value's own line breaks.
        memo->setProperty(kShownText, memo->toPlainText());
        memo->setProperty(kOriginalText, QByteArray::fromStdString(current));
        break;
    }
    case InputType::Button:
        static_cast<QPushButton*>(input.control)->setText(Widen(current));
        break;
    case InputType::CheckBox:
        static_cast<QCheckBox*>(input.control)->setChecked(CheckBoxChecked(input.element->Items, current));
        break;
    case InputType::RadioGroup:
        SelectRadio(*input.radios, SelectedItemOf(input.options, current));
        break;
    case InputType::DropDown:
        static_cast<QComboBox*>(input.control)->setCurrentIndex(SelectedItemOf(input.options, current));
        break;
    case InputType::CheckList: {
        auto* list = static_cast<QListWidget*>(input.control);
        const auto states = CheckListStates(input.options, input.dataType, current);
        for (int row = 0; row < list->count() && row < static_cast<int>(states.size()); ++row)
            if (const auto state = states[static_cast<std::size_t>(row)])
                list->item(row)->setCheckState(*state ? Qt::Checked : Qt::Unchecked);
        break;
    }
    }
}

std::string RawControlValueText(const OPALInput& input) {
    if (!input.control) return {};
    switch (input.type) {
    case InputType::Edit:
        return Narrow(static_cast<QLineEdit*>(input.control)->text());
    case InputType::Memo: {
        auto* memo = static_cast<QPlainTextEdit*>(input.control);
        const QString text = memo->toPlainText();
        if (memo->property(kShownText).toString() == text)
            return memo->property(kOriginalText).toByteArray().toStdString();
        return Narrow(QString(text).replace('\n', "\r\n"));
    }
    case InputType::Button:
        return Narrow(static_cast<QPushButton*>(input.control)->text());
    case InputType::CheckBox:
        return CheckBoxValueText(input.options, static_cast<QCheckBox*>(input.control)->isChecked());
    case InputType::RadioGroup:
        return SelectedItemValueText(input.options, input.radios->checkedId());
    case InputType::DropDown: {
        auto* box = static_cast<QComboBox*>(input.control);
        // A typed text that names no item counts as no selection.
        const int typed = box->findText(box->currentText(), Qt::MatchFixedString);
        return typed < 0 ? std::string() : SelectedItemValueText(input.options, typed);
    }
    case InputType::CheckList: {
        auto* list = static_cast<QListWidget*>(input.control);
        std::vector<bool> checked;
        checked.reserve(static_cast<std::size_t>(list->count()));
        for (int row = 0; row < list->count(); ++row)
            checked.push_back(list->item(row)->checkState() == Qt::Checked);
        return CheckListValueText(input.options, input.dataType, checked);
    }
    }
    return {};
}

std::string ControlValueText(const OPALInput& input) {
    return NormalizeValueText(RawControlValueText(input), input.dataType);
}

} // namespace hw::markup
