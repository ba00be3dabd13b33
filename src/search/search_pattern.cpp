#include "search/search_pattern.h"

#include "util/text.h"

namespace hw::search {

std::vector<std::string> WildcardSegments(std::string_view pattern) {
    std::vector<std::string> segments;
    std::string current;
    bool previousWasStar = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '*') {
            if (!previousWasStar) segments.push_back(std::move(current));
            current.clear();
            previousWasStar = true;
            continue;
        }
        previousWasStar = false;
        if (c == '\\' && i + 1 < pattern.size()) {
            const char next = pattern[++i];
            if (next != '*') current += '\\';
            current += next;
        } else {
            current += c;
        }
    }
    segments.push_back(std::move(current));
    return segments;
}

SearchPattern::SearchPattern(std::string_view findText, MatchMode mode)
    : mode_(mode), text_(util::UpperCaseAscii(findText)) {
    if (mode_ == MatchMode::Wildcard) segments_ = WildcardSegments(text_);
}

bool SearchPattern::Matches(std::string_view candidate) const {
    switch (mode_) {
    case MatchMode::WholeText:
        return candidate == text_;
    case MatchMode::Wildcard:
        return MatchesSegments(candidate);
    case MatchMode::Contains:
        break;
    }
    return candidate.find(text_) != std::string_view::npos;
}

// The earliest occurrence of each segment leaves the most room for the rest, so one left-to-right pass
// decides.
bool SearchPattern::MatchesSegments(std::string_view candidate) const {
    const std::size_t first = candidate.find(segments_.front());
    if (first == std::string_view::npos) return false;
    std::size_t end = first + segments_.front().size();
    for (std::size_t i = 1; i < segments_.size(); ++i) {
        const std::string& segment = segments_[i];
        if (segment.empty()) return end < candidate.size(); // only a trailing segment can be empty
        const std::size_t found = candidate.find(segment, end);
        if (found == std::string_view::npos) return false;
        end = found + segment.size();
    }
    return true;
}

} // namespace hw::search
