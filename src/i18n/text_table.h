// The numbered texts of the user interface: built-in English defaults, replaced for the run by the
// entries of one language file section. Code looks a text up at the moment it shows it.
#pragma once

#include "i18n/builtin_texts.h"
#include "i18n/text_id.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace hw::i18n {

// The override when one is loaded, else the built-in text; empty for a number outside the table.
std::string LookupText(int number);
inline std::string LookupText(Text text) {
    return LookupText(TextNumber(text));
}

// Clears every override, then takes each "number=text" entry of the section (later entries win).
// Entries whose key is not a number of the table, and empty texts, change nothing. With an empty file
// name or section only the clearing happens.
void LoadTextSection(const std::string& fileName, const std::string& section);

// Text number with its printf-style markers (%s, %d, %5d ...) filled, in order, from args; "%%" is a
// percent sign and a marker without an argument becomes empty. Safe whatever markers a translation holds.
std::string FormatText(Text text, std::initializer_list<std::string_view> args);
std::string FormatPattern(std::string_view pattern, std::initializer_list<std::string_view> args);

} // namespace hw::i18n
