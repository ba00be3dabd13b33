// Keeping search results in step with key renames and deletions made after the search.
#pragma once

#include "search/search_request.h"

#include <functional>
#include <string>

namespace hw::search {

// True when path is keyPath itself or a key below it (letter case ignored); HKLM\Soft does not hold
// HKLM\Software.
bool IsKeyPathAtOrBelow(const std::string& path, const std::string& keyPath);

// Every result at or below oldPath takes newPath in place of that beginning; moved is called for each.
void MoveResultsOfKey(SearchRequest& request, const std::string& oldPath, const std::string& newPath,
                      const std::function<void(SearchResult&)>& moved);

} // namespace hw::search
