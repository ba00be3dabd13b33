// Whole-tree search against a plain walk of the same tree through the registry functions.
// Tree: 100,000 keys breadth first with fan-out 10, ten values each (text, number, bytes in turn).
#include "bench_support.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "search/search_request.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kKeys = 100000;
constexpr int kValuesPerKey = 10;
constexpr int kNeedleEvery = 333; // of the text values: about 1,000 matches
const char* const kStartSubKey = "Software\\BenchSearch";
const char* const kStartPath = "HKEY_LOCAL_MACHINE\\Software\\BenchSearch";

void Populate() {
    std::vector<std::string> paths(kKeys);
    for (int i = 0; i < kKeys; ++i) {
        const std::string name = "Key" + std::to_string(i);
        paths[i] = i == 0 ? name : paths[(i - 1) / 10] + "\\" + name;
    }
    HKEY start = 0;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kStartSubKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &start,
                    nullptr);
    int counter = 0;
    for (int i = 0; i < kKeys; ++i) {
        HKEY key = 0;
        if (RegCreateKeyExA(start, paths[i].c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            std::fprintf(stderr, "cannot create %s\n", paths[i].c_str());
            std::exit(1);
        }
        for (int v = 0; v < kValuesPerKey; ++v, ++counter) {
            const std::string name = "Value" + std::to_string(v);
            switch (counter % 3) {
            case 0: {
                char text[32];
                const bool needle = (counter / 3) % kNeedleEvery == 0;
                std::snprintf(text, sizeof text, "%s%08d", needle ? "needle-text-" : "plain-text--", counter);
                RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 21);
                break;
            }
            case 1: {
                const DWORD number = static_cast<DWORD>(counter);
                RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
                break;
            }
            default: {
                BYTE bytes[16];
                for (int b = 0; b < 16; ++b)
                    bytes[b] = static_cast<BYTE>(counter * 7 + b);
                RegSetValueExA(key, name.c_str(), 0, REG_BINARY, bytes, 16);
                break;
            }
            }
        }
        RegCloseKey(key);
    }
    RegCloseKey(start);
    hw::platform::FlushRegistry();
}

// What any full traversal costs: key information, every subkey, every value with its data.
void WalkKey(HKEY key, long& items) {
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxData = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values,
                         &maxValueName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<char> name(std::max(maxSubKey, maxValueName) + 1);
    std::vector<BYTE> data(maxData + 1);
    for (DWORD i = 0; i < values; ++i) {
        DWORD nameLength = maxValueName + 1, dataSize = maxData + 1, type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize) ==
            ERROR_SUCCESS)
            ++items;
    }
    for (DWORD i = 0; i < subKeys; ++i) {
        DWORD nameLength = maxSubKey + 1;
        if (RegEnumKeyExA(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;
        HKEY subKey = 0;
        if (RegOpenKeyExA(key, name.data(), 0, KEY_READ, &subKey) != ERROR_SUCCESS) continue;
        ++items;
        WalkKey(subKey, items);
        RegCloseKey(subKey);
    }
}

using hw::bench::Measure;
using hw::bench::Timing;

Timing TimeWalk(long& items) {
    return Measure([&items] {
        HKEY start = 0;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kStartSubKey, 0, KEY_READ, &start);
        items = 0;
        WalkKey(start, items);
        RegCloseKey(start);
    });
}

Timing TimeSearch(std::size_t& found) {
    hw::search::SearchRequest request;
    request.startPath = kStartPath;
    request.findText = "needle";
    request.mode = hw::search::MatchMode::Contains;
    request.targets = hw::search::kAllTargets;
    long yields = 0; // stands in for the window letting its messages through
    request.yieldToInterface = [&yields] { ++yields; };
    const Timing timing = Measure([&request] { hw::search::Search(request); });
    found = request.results().size();
    return timing;
}

Timing Best(const Timing& a, const Timing& b) {
    return {std::min(a.wall, b.wall), std::min(a.cpu, b.cpu)};
}

} // namespace

int main() {
    const hw::bench::TempRegistry registry;
    std::fprintf(stderr, "populated in %.1f s\n", hw::bench::Seconds(Populate));

    // Best of two runs each, alternating, so neither side gets a colder cache.
    long items = 0;
    std::size_t found = 0;
    Timing walk = TimeWalk(items);
    Timing search = TimeSearch(found);
    walk = Best(walk, TimeWalk(items));
    search = Best(search, TimeSearch(found));
    std::fprintf(stderr, "walked %ld items, found %zu\n", items, found);

    std::printf("search.seconds %.3f\n", search.wall);
    std::printf("search.cpu_seconds %.3f\n", search.cpu);
    std::printf("search.walk_seconds %.3f\n", walk.wall);
    std::printf("search.walk_cpu_seconds %.3f\n", walk.cpu);
    std::printf("search.ratio_to_walk %.2f\n", search.wall / walk.wall);
    std::printf("search.results %zu\n", found);
    return 0;
}
