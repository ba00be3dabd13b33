#include "search/search_pattern.h"

#include <gtest/gtest.h>

namespace hw::search {
namespace {

using Segments = std::vector<std::string>;

TEST(WildcardSegmentsTest, StarsSplitAndRunsActAsOne) {
    EXPECT_EQ(WildcardSegments("A*C"), (Segments{"A", "C"}));
    EXPECT_EQ(WildcardSegments("A***C"), (Segments{"A", "C"}));
    EXPECT_EQ(WildcardSegments("ABC"), (Segments{"ABC"}));
}

TEST(WildcardSegmentsTest, LeadingAndTrailingStarsGiveEmptySegments) {
    EXPECT_EQ(WildcardSegments("*AB"), (Segments{"", "AB"}));
    EXPECT_EQ(WildcardSegments("AB*"), (Segments{"AB", ""}));
    EXPECT_EQ(WildcardSegments("**"), (Segments{"", ""}));
}

TEST(WildcardSegmentsTest, BackslashEscapesOnlyTheStar) {
    EXPECT_EQ(WildcardSegments("\\*"), (Segments{"*"}));
    EXPECT_EQ(WildcardSegments("A\\*B*C"), (Segments{"A*B", "C"}));
    EXPECT_EQ(WildcardSegments("A\\B"), (Segments{"A\\B"}));
    // A backslash before a backslash keeps both, so the star after them still splits.
    EXPECT_EQ(WildcardSegments("A\\\\*B"), (Segments{"A\\\\", "B"}));
    EXPECT_EQ(WildcardSegments("A\\"), (Segments{"A\\"}));
}

TEST(SearchPatternTest, ContainsIgnoresCaseOfTheFindTextOnly) {
    const SearchPattern pattern("run", MatchMode::Contains);
    EXPECT_TRUE(pattern.Matches("RUNONCE"));
    EXPECT_TRUE(pattern.Matches("XRUN"));
    EXPECT_FALSE(pattern.Matches("RU"));
    // Candidates arrive upper-cased; letters outside a-z are not folded.
    EXPECT_FALSE(SearchPattern("\xe9", MatchMode::Contains).Matches("\xc9"));
}

TEST(SearchPatternTest, WholeTextNeedsEquality) {
    const SearchPattern pattern("Run", MatchMode::WholeText);
    EXPECT_TRUE(pattern.Matches("RUN"));
    EXPECT_FALSE(pattern.Matches("RUNONCE"));
    EXPECT_FALSE(pattern.Matches("XRUN"));
}

TEST(SearchPatternTest, WildcardSegmentsMatchInOrderWithoutAnchors) {
    const SearchPattern aToC("a*c", MatchMode::Wildcard);
    EXPECT_TRUE(aToC.Matches("ABC"));
    EXPECT_TRUE(aToC.Matches("AC"));
    EXPECT_TRUE(aToC.Matches("XXAXXCXX"));
    EXPECT_FALSE(aToC.Matches("CA"));
    EXPECT_TRUE(SearchPattern("ab*cd", MatchMode::Wildcard).Matches("XXABYYCDZZ"));
    // The second segment must start after the end of the first, not inside it.
    EXPECT_FALSE(SearchPattern("aba*bab", MatchMode::Wildcard).Matches("ABAB"));
    EXPECT_TRUE(SearchPattern("a*b*a", MatchMode::Wildcard).Matches("AXBXA"));
    EXPECT_FALSE(SearchPattern("a*b*a", MatchMode::Wildcard).Matches("AXBX"));
}

TEST(SearchPatternTest, EmptyEndSegments) {
    const SearchPattern trailing("abc*", MatchMode::Wildcard);
    EXPECT_TRUE(trailing.Matches("ABCD"));
    EXPECT_FALSE(trailing.Matches("ABC"));
    EXPECT_TRUE(trailing.Matches("XABCD"));
    const SearchPattern leading("*bc", MatchMode::Wildcard);
    EXPECT_TRUE(leading.Matches("BC"));
    EXPECT_TRUE(leading.Matches("ABCD"));
    const SearchPattern star("*", MatchMode::Wildcard);
    EXPECT_TRUE(star.Matches("A"));
    EXPECT_FALSE(star.Matches(""));
}

TEST(SearchPatternTest, WildcardEscapesAndPlainTexts) {
    const SearchPattern literalStar("\\*", MatchMode::Wildcard);
    EXPECT_TRUE(literalStar.Matches("A*B"));
    EXPECT_FALSE(literalStar.Matches("AB"));
    EXPECT_TRUE(SearchPattern("\\q", MatchMode::Wildcard).Matches("C:\\QUIT"));
    // Without a star a wildcard pattern is a contains test.
    EXPECT_TRUE(SearchPattern("bc", MatchMode::Wildcard).Matches("ABCD"));
}

} // namespace
} // namespace hw::search
