// Whether a search result still names what the search found: results can go stale while the window is
// open (another program, or an earlier action on another row, renames or deletes the key or value).
#pragma once

#include "search/result_row.h"
#include "search/search_types.h"

#include <string>
#include <vector>

namespace hw::search {

// True when the key (key results) or the value with its type (value results) still exists, and, when
// shown is given, the value's data still reads as the row's data and raw texts.
bool ResultStillStands(const SearchResult& result, const ResultRowTexts* shown);

// The message naming the skipped results: the first ten, then how many more.
std::string DescribeStaleResults(const std::vector<const SearchResult*>& skipped);

} // namespace hw::search
