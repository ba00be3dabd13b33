// Copying and moving a large key tree, timed against building the same tree through the registry functions.
#include "bench_support.h"
#include "core/key_ops.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kKeyCount = 100000;
constexpr int kFanOut = 10;
constexpr int kValuesPerKey = 10;

// Wall time is what a user waits; processor time (both threads: ours and the store's committer) stays
// comparable when other programs compete for the machine. Both include committing the writes.
hw::bench::Timing Committed(const std::function<void()>& work) {
    return hw::bench::Measure([&work] {
        work();
        hw::platform::FlushRegistry();
    });
}

void SetValues(HKEY key) {
    static const std::string text(20, 't');
    static const BYTE binary[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const DWORD number = 0x12345678;
    for (int v = 0; v < kValuesPerKey; ++v) {
        const std::string name = "Value" + std::to_string(v);
        switch (v % 3) {
        case 0:
            RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1));
            break;
        case 1:
            RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
            break;
        default:
            RegSetValueExA(key, name.c_str(), 0, REG_BINARY, binary, sizeof binary);
        }
    }
}

// Breadth first: the children of key p are keys 10p+1 .. 10p+10, so a parent stays open only until its last
// child exists.
bool BuildTree(HKEY start) {
    const int parents = (kKeyCount - 2) / kFanOut + 1;
    std::vector<HKEY> open(parents, 0);
    for (int i = 0; i < kKeyCount; ++i) {
        const HKEY parent = i == 0 ? start : open[(i - 1) / kFanOut];
        HKEY key = 0;
        if (RegCreateKeyA(parent, ("Key" + std::to_string(i)).c_str(), &key) != ERROR_SUCCESS) return false;
        SetValues(key);
        if (i < parents)
            open[i] = key;
        else
            RegCloseKey(key);
        if (i > 0 && i % kFanOut == 0) RegCloseKey(open[(i - 1) / kFanOut]);
    }
    // The last parent may have fewer children than the fan-out.
    if ((kKeyCount - 1) % kFanOut != 0) RegCloseKey(open[parents - 1]);
    return true;
}

} // namespace

int main() {
    const hw::bench::TempRegistry registry;
    HKEY start = 0;
    RegCreateKeyA(HKEY_CURRENT_USER, "Bench", &start);
    bool built = false, copied = false, moved = false;
    const auto create = Committed([&] { built = BuildTree(start); });
    RegCloseKey(start);
    const auto copy =
        Committed([&] { copied = hw::core::CopyKeyPath("HKCU\\Bench\\Key0", "HKCU\\Copy\\Key0", false); });
    const auto move =
        Committed([&] { moved = hw::core::RenameKeyPath("HKCU\\Bench\\Key0", "HKCU\\Bench\\Renamed"); });

    const bool intact =
        hw::core::KeyPathExists("HKCU\\Copy\\Key0\\Key1\\Key11\\Key111\\Key1111\\Key11111") &&
        hw::core::KeyPathExists("HKCU\\Bench\\Renamed\\Key9\\Key99\\Key999\\Key9999\\Key99999") &&
        !hw::core::KeyPathExists("HKCU\\Bench\\Key0");
    if (!built || !copied || !moved || !intact) {
        std::fprintf(stderr, "store_copy: the tree was not built, copied or moved completely\n");
        return 1;
    }
    std::printf("store.copy.create_seconds %.3f\n", create.wall);
    std::printf("store.copy.seconds %.3f\n", copy.wall);
    std::printf("store.move.seconds %.3f\n", move.wall);
    std::printf("store.copy.ratio %.3f\n", copy.wall / create.wall);
    std::printf("store.move.ratio %.3f\n", move.wall / create.wall);
    std::printf("store.copy.cpu_ratio %.3f\n", copy.cpu / create.cpu);
    std::printf("store.move.cpu_ratio %.3f\n", move.cpu / create.cpu);
    return 0;
}
