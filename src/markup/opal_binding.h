// How an input element's registry value text maps to its control's state and back; no toolkit here, the
// page renderer applies the results to its widgets.
#pragma once

#include "platform/winreg.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hw::markup {

enum class InputType {
    Edit = 0,
    Memo = 1,
    Button = 2,
    CheckBox = 3,
    RadioGroup = 4,
    DropDown = 5,
    CheckList = 6
};

// From the type attribute (case-insensitive); anything unknown is a single-line edit.
InputType InputTypeOf(std::string_view typeAttribute);
// From the datatype attribute (case-insensitive); unknown and empty texts are REG_SZ.
DWORD DataTypeOf(std::string_view dataTypeAttribute);
bool IsTextType(DWORD type);
bool IsNumberType(DWORD type);

// An input's option lines ("text=value") looked up by item text.
class OptionList {
  public:
    explicit OptionList(const std::vector<std::string>& lines);
    // The text parts to show, in order, without the empty ones.
    const std::vector<std::string>& ItemTexts() const { return itemTexts_; }
    // The value part of the first line whose text matches (case-insensitive); empty when none does.
    std::string ValueOf(std::string_view itemText) const;

  private:
    struct Line {
        std::string text;
        std::string value;
    };
    std::vector<Line> lines_;
    std::vector<std::string> itemTexts_;
};

// The text in the form written for the type: number types as unsigned decimal (0 when not a number in
// range), byte types as letter and digit pairs, text types unchanged, unknown types empty.
std::string NormalizeValueText(std::string_view text, DWORD type);
// The number a number-type input stands for; nothing when a non-empty text is not a number from 0 to
// 4294967295 (saving would otherwise write 0 over the value).
std::optional<DWORD> DwordOfText(std::string_view text);

bool CheckBoxChecked(const std::vector<std::string>& lines, std::string_view currentText);
std::string CheckBoxValueText(const OptionList& options, bool checked);

// The first item whose option value equals the text; -1 when none does.
int SelectedItemOf(const OptionList& options, std::string_view currentText);
// The option value of the selected item; empty for -1.
std::string SelectedItemValueText(const OptionList& options, int selected);

// Per shown item: the check state the text gives it, or nothing where the item is left as it is.
std::vector<std::optional<bool>> CheckListStates(const OptionList& options, DWORD type,
                                                 std::string_view currentText);
// The value text of the checked items (checked holds one flag per shown item).
std::string CheckListValueText(const OptionList& options, DWORD type, const std::vector<bool>& checked);

} // namespace hw::markup
