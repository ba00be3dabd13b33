#include "search/window/stale_result.h"

#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "core/value_text.h"

namespace hw::search {

namespace {

constexpr std::size_t kNamedResults = 10;

} // namespace

bool ResultStillStands(const SearchResult& result, const ResultRowTexts* shown) {
    if (result.isKey()) return core::KeyPathExists(result.keyPath);
    const HKEY root = core::RootKeyOfPath(result.keyPath);
    if (root == 0) return false;
    DWORD type = 0;
    {
        const core::ScopedKey key =
            core::OpenKeyOrUseRoot(root, core::SubKeyOrEmpty(result.keyPath), KEY_QUERY_VALUE);
        if (!key || RegQueryValueExA(key.get(), result.valueName.c_str(), nullptr, &type, nullptr, nullptr) !=
                        ERROR_SUCCESS)
            return false;
    }
    if (type != result.valueType) return false;
    if (shown == nullptr) return true;
    ResultRowTexts now;
    SetRowDataTexts(now, type, core::ReadValueTextsOfPath(result.keyPath, result.valueName));
    return now.data == shown->data && now.raw == shown->raw;
}

std::string DescribeStaleResults(const std::vector<const SearchResult*>& skipped) {
    std::string text = std::to_string(skipped.size()) +
                       " result(s) changed or disappeared since the search and were left alone:";
    for (std::size_t i = 0; i < skipped.size() && i < kNamedResults; ++i) {
        text += "\n" + skipped[i]->keyPath;
        if (!skipped[i]->isKey()) text += "  \"" + skipped[i]->valueName + "\"";
    }
    if (skipped.size() > kNamedResults)
        text += "\n... and " + std::to_string(skipped.size() - kNamedResults) + " more";
    return text;
}

} // namespace hw::search
