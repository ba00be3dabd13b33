// Copying and moving a large key tree, timed against building the same tree through the registry functions.
#include "core/key_ops.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kKeyCount = 100000;
constexpr int kFanOut = 10;
constexpr int kValuesPerKey = 10;

using Clock = std::chrono::steady_clock;

// Wall time is what a user waits; processor time (both threads: ours and the store's committer) stays
// comparable when other programs compete for the machine.
struct Timer {
    Clock::time_point wall = Clock::now();
    std::clock_t processor = std::clock();

    struct Lap {
        double wall;
        double processor;
    };
    Lap Stop() const {
        hw::platform::FlushRegistry();
        return {std::chrono::duration<double>(Clock::now() - wall).count(),
                static_cast<double>(std::clock() - processor) / CLOCKS_PER_SEC};
    }
};

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
    const auto dir =
        std::filesystem::temp_directory_path() / ("hw_bench_store_copy_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::string error;
    auto store = hw::platform::OpenSqliteStore((dir / "registry.db").string(), &error);
    if (!store) {
        std::fprintf(stderr, "cannot open the store: %s\n", error.c_str());
        return 1;
    }
    hw::platform::UseRegistry(std::move(store));

    HKEY start = 0;
    RegCreateKeyA(HKEY_CURRENT_USER, "Bench", &start);
    Timer timer;
    const bool built = BuildTree(start);
    const auto create = timer.Stop();
    RegCloseKey(start);

    timer = Timer();
    const bool copied = hw::core::CopyKeyPath("HKCU\\Bench\\Key0", "HKCU\\Copy\\Key0", false);
    const auto copy = timer.Stop();

    timer = Timer();
    const bool moved = hw::core::RenameKeyPath("HKCU\\Bench\\Key0", "HKCU\\Bench\\Renamed");
    const auto move = timer.Stop();

    const bool intact =
        hw::core::KeyPathExists("HKCU\\Copy\\Key0\\Key1\\Key11\\Key111\\Key1111\\Key11111") &&
        hw::core::KeyPathExists("HKCU\\Bench\\Renamed\\Key9\\Key99\\Key999\\Key9999\\Key99999") &&
        !hw::core::KeyPathExists("HKCU\\Bench\\Key0");
    hw::platform::UseRegistry(nullptr);
    std::filesystem::remove_all(dir);
    if (!built || !copied || !moved || !intact) {
        std::fprintf(stderr, "store_copy: the tree was not built, copied or moved completely\n");
        return 1;
    }
    std::printf("store.copy.create_seconds %.3f\n", create.wall);
    std::printf("store.copy.seconds %.3f\n", copy.wall);
    std::printf("store.move.seconds %.3f\n", move.wall);
    std::printf("store.copy.ratio %.3f\n", copy.wall / create.wall);
    std::printf("store.move.ratio %.3f\n", move.wall / create.wall);
    std::printf("store.copy.cpu_ratio %.3f\n", copy.processor / create.processor);
    std::printf("store.move.cpu_ratio %.3f\n", move.processor / create.processor);
    return 0;
}
