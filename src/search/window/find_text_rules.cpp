#include "search/window/find_text_rules.h"

#include "util/text.h"

namespace hw::search {

std::string FromTextOfFindText(const std::string& findText, bool wildcardSupport) {
    if (!wildcardSupport) return findText;
    return util::ReplaceText(util::ReplaceText(findText, "\\*", "*", false), "\\\\", "\\", false);
}

bool ReplaceAllowed(const std::string& from, const std::string& to) {
    return !from.empty() && util::UpperCaseAscii(from) != util::UpperCaseAscii(to);
}

MatchMode MatchModeOf(bool wildcardSupport, bool wholeWordsOnly) {
    if (wildcardSupport) return MatchMode::Wildcard;
    return wholeWordsOnly ? MatchMode::WholeText : MatchMode::Contains;
}

} // namespace hw::search
