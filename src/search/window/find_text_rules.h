// The rules that tie the Find window's texts and options together, kept apart from the widgets.
#pragma once

#include "search/search_types.h"

#include <string>

namespace hw::search {

// What the From text becomes when the find text changes: with wildcard support the escapes "\*" and "\\"
// turn into the characters they stand for, otherwise the find text as it is.
std::string FromTextOfFindText(const std::string& findText, bool wildcardSupport);

// Replace is worth offering only for a From text that a To text, compared without case, would change.
bool ReplaceAllowed(const std::string& from, const std::string& to);

MatchMode MatchModeOf(bool wildcardSupport, bool wholeWordsOnly);

} // namespace hw::search
