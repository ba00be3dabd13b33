// The find text of a search, prepared once per search and matched against upper-cased candidate texts.
#pragma once

#include "search/search_types.h"

#include <string>
#include <string_view>
#include <vector>

namespace hw::search {

// Splits an upper-cased wildcard pattern into its literal segments: an unescaped "*" ends a segment (a run of
// them acts as one), "\*" is a literal star, a backslash before anything else stays with that character.
// A leading "*" gives an empty first segment, a trailing one an empty last segment.
std::vector<std::string> WildcardSegments(std::string_view pattern);

class SearchPattern {
  public:
    SearchPattern(std::string_view findText, MatchMode mode);

    // candidate must already be upper-cased (a-z only).
    bool Matches(std::string_view candidate) const;

    const std::vector<std::string>& segments() const { return segments_; }

  private:
    bool MatchesSegments(std::string_view candidate) const;

    MatchMode mode_;
    std::string text_;
    std::vector<std::string> segments_;
};

} // namespace hw::search
