// Replacing text in one search result: a key's name, a value's name, a value's data.
#pragma once

#include "search/result_row.h"
#include "search/search_request.h"

#include <string>

namespace hw::search {

struct ReplaceOptions {
    std::string from; // compared without regard to case (a-z)
    std::string to;
    bool keys = true;
    bool values = true;
    bool data = true;
};

// What a replace changes outside the result and its row; the results window implements it.
class ReplaceView {
  public:
    virtual ~ReplaceView() = default;
    // The value of that key now has the new name (other windows learn it from the change feed).
    virtual void ValueRenamed(const std::string& keyPath, const std::string& oldName,
                              const std::string& newName) = 0;
    // A key rename moved this other result to a new key path; its row's At Key text follows.
    virtual void ResultKeyPathChanged(const SearchResult& result) = 0;
};

// Applies the replace to result (one of request's results) and to row, the texts of its row. Failed renames
// and writes leave both unchanged. True when anything in the registry changed.
bool ReplaceInResult(SearchRequest& request, SearchResult& result, ResultRowTexts& row,
                     const ReplaceOptions& options, ReplaceView& view);

} // namespace hw::search
