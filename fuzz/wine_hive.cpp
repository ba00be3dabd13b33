// Wine registry file loader and renderer under arbitrary input: load, read every value, render as a save
// would and as Wine would write every key, and load that again. What the renderer writes comes back byte for
// byte, and is sound when what it read was (a damaged preamble is kept as it was).
#include "store/wine/wine_hive.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

using hw::store::wine::Hive;
using hw::store::wine::RenderMap;
using hw::store::wine::WineKey;

void ReadValues(Hive& hive, WineKey& key) {
    hive.Values(key);
    for (WineKey* child : key.children)
        ReadValues(hive, *child);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Most inputs get past the header line this way.
    std::string text = "WINE REGISTRY Version 2\n" + std::string(reinterpret_cast<const char*>(data), size);
    Hive hive;
    try {
        hive.Load(text, "root");
    } catch (const std::runtime_error&) {
        return 0;
    }
    ReadValues(hive, hive.Root());

    RenderMap keptMap, rewrittenMap, againMap, adoptedMap;
    std::string kept = hive.Render(keptMap);
    const std::string rewritten = hive.Render(rewrittenMap, true);
    Hive again;
    again.Load(rewritten, "root");
    if ((again.Damaged() && !hive.Damaged()) || again.Render(againMap, true) != rewritten) std::abort();
    // A saved text adopted as the file's own renders as itself.
    hive.Adopt(kept, keptMap);
    if (hive.Render(adoptedMap) != hive.Text()) std::abort();
    return 0;
}
