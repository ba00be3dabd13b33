// A registry search: the request a results window fills and reuses, and the walk that answers it.
#pragma once

#include "search/search_types.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace hw::search {

class SearchRequest {
  public:
    // Where the walk starts (a key path); empty searches HKEY_LOCAL_MACHINE, then HKEY_USERS.
    std::string startPath;
    std::string findText;
    std::uint8_t targets = kAllTargets;
    MatchMode mode = MatchMode::Contains;
    // Owned by the window; non-zero asks the walk to stop: set by yieldToInterface, at its return; set by
    // onFound, as the next key is entered. May be null.
    std::uint8_t* stopFlag = nullptr;
    // Called with each result right after it is added, while the walk holds the registry: it must not use
    // the registry.
    std::function<void(SearchResult&)> onFound;
    // Lets the user interface process its pending messages (it may read and change the registry meanwhile).
    // The walk reads keys in batches and calls it before each batch, not once per key.
    std::function<void()> yieldToInterface;
    // How long a batch of keys goes on before the walk yields; zero yields after every key entered.
    std::chrono::steady_clock::duration batchTime = std::chrono::milliseconds(15);

    // In the order found; references stay valid until the next ClearResults or Search.
    std::deque<SearchResult>& results() { return results_; }
    const std::deque<SearchResult>& results() const { return results_; }

    // Frees every result and clears the stop flag.
    void ClearResults();

  private:
    std::deque<SearchResult> results_;
};

// Empties the results, then walks the registry reporting every match as it is found.
WalkOutcome Search(SearchRequest& request);

} // namespace hw::search
