#include "search/result_paths.h"

#include "core/ascii_case.h"

namespace hw::search {

bool IsKeyPathAtOrBelow(const std::string& path, const std::string& keyPath) {
    return core::StartsWithIgnoringCase(path, keyPath) &&
           (path.size() == keyPath.size() || path[keyPath.size()] == '\\');
}

void MoveResultsOfKey(SearchRequest& request, const std::string& oldPath, const std::string& newPath,
                      const std::function<void(SearchResult&)>& moved) {
    for (SearchResult& result : request.results()) {
        if (!IsKeyPathAtOrBelow(result.keyPath, oldPath)) continue;
        result.keyPath.replace(0, oldPath.size(), newPath);
        if (moved) moved(result);
    }
}

} // namespace hw::search
