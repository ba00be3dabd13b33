#include "search/result_paths.h"

#include <gtest/gtest.h>

namespace hw::search {
namespace {

TEST(ResultPathsTest, MovesResultsAtAndBelowTheKeyWhateverTheirLetterCase) {
    SearchRequest request;
    request.results().push_back({ResultKind::KeyName, "HKCU\\A\\Soft", "", 0});
    request.results().push_back({ResultKind::ValueName, "HKCU\\a\\SOFT\\x", "v", REG_SZ});
    request.results().push_back({ResultKind::KeyName, "HKCU\\A\\Software", "", 0});
    request.results().push_back({ResultKind::KeyName, "HKCU\\A", "", 0});
    int moved = 0;
    MoveResultsOfKey(request, "HKCU\\A\\Soft", "HKCU\\A\\Hard", [&](SearchResult&) { ++moved; });
    EXPECT_EQ(moved, 2);
    EXPECT_EQ(request.results()[0].keyPath, "HKCU\\A\\Hard");
    EXPECT_EQ(request.results()[1].keyPath, "HKCU\\A\\Hard\\x");
    EXPECT_EQ(request.results()[2].keyPath, "HKCU\\A\\Software");
    EXPECT_EQ(request.results()[3].keyPath, "HKCU\\A");
}

} // namespace
} // namespace hw::search
