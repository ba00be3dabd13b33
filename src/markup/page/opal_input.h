// An input element's control and what it needs to move registry value texts in and out of it.
#pragma once

#include "markup/opal_binding.h"
#include "markup/opal_document.h"

#include <optional>
#include <string>

class QButtonGroup;
class QWidget;

namespace hw::markup {

struct OPALInput {
    TOPALElement* element = nullptr;
    InputType type = InputType::Edit;
    DWORD dataType = REG_SZ;
    OptionList options{{}};
    QWidget* control = nullptr;
    QButtonGroup* radios = nullptr; // the radio group's buttons, numbered by item
    // What the control stood for as the registry was read, or after the latest write: only a control
    // that stands for something else is written, so an absent value stays absent until the user sets it.
    std::string readText;
};

// Sets the control from the initial text (normalised for the data type) or, without one, from the value
// it is bound to.
void ShowCurrentValue(const OPALInput& input, const std::optional<std::string>& initialText);
// The text the control stands for, before normalising.
std::string RawControlValueText(const OPALInput& input);
// The text the control stands for, in the form written for its data type.
std::string ControlValueText(const OPALInput& input);

} // namespace hw::markup
