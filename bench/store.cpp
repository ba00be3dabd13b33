// Registry store benchmark: create, walk and delete a 100,000-key, 1,000,000-value tree through the registry
// functions, compared with raw SQLite doing the same work (../shared/bench/sqlite_floor.py) in the same run.
#include "bench_process.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kKeys = 100000;
constexpr int kValuesPerKey = 10;

std::map<std::string, double> RunFloor() {
    std::map<std::string, double> phases;
    std::filesystem::path shared;
    try {
        shared = hw::bench::SharedFolder();
    } catch (const std::exception& missing) {
        std::fprintf(stderr, "no floor: %s\n", missing.what());
        return phases;
    }
    const std::string command = "python3 '" + (shared / "bench" / "sqlite_floor.py").string() + "' " +
                                std::to_string(kKeys) + " " + std::to_string(kValuesPerKey);
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return phases;
    char name[64];
    double seconds = 0;
    while (std::fscanf(pipe, "%63s %lf", name, &seconds) == 2)
        phases[name] = seconds;
    pclose(pipe);
    return phases;
}

// The same data the floor writes.
void SetValues(HKEY key, int i) {
    for (int j = 0; j < kValuesPerKey; ++j) {
        std::string name = "Value" + std::to_string(j);
        long long n = static_cast<long long>(i) * kValuesPerKey + j;
        switch (j % 3) {
        case 0: {
            char text[32];
            std::snprintf(text, sizeof text, "text-%014lld", n);
            std::string data(text, 19);
            data.resize(20, '\0');
            data.push_back('\0');
            RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()), 21);
            break;
        }
        case 1: {
            DWORD number = static_cast<DWORD>(n);
            RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
            break;
        }
        default: {
            BYTE bytes[16];
            for (int k = 0; k < 16; ++k)
                bytes[k] = static_cast<BYTE>((i + j + k) & 0xFF);
            RegSetValueExA(key, name.c_str(), 0, REG_BINARY, bytes, 16);
        }
        }
    }
}

std::string PathOf(int i) {
    std::vector<int> chain;
    for (int k = i; k > 0; k = (k - 1) / 10)
        chain.push_back(k);
    std::string path = "Software\\Bench\\Key0";
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path += "\\Key" + std::to_string(*it);
    return path;
}

long Walk(HKEY key) {
    DWORD subKeys = 0, longestKey = 0, values = 0, longestName = 0, largest = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &longestKey, nullptr, &values,
                         &longestName, &largest, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    long seen = 0;
    std::vector<char> name(longestName + 1);
    std::vector<BYTE> data(largest + 1);
    for (DWORD i = 0; i < values; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size) ==
            ERROR_SUCCESS)
            ++seen;
    }
    std::vector<char> keyName(longestKey + 1);
    for (DWORD i = 0; i < subKeys; ++i) {
        DWORD length = static_cast<DWORD>(keyName.size());
        if (RegEnumKeyExA(key, i, keyName.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;
        HKEY child = 0;
        if (RegOpenKeyExA(key, keyName.data(), 0, KEY_READ, &child) == ERROR_SUCCESS) {
            seen += Walk(child);
            RegCloseKey(child);
        }
    }
    return seen;
}

void DeleteTree(HKEY parent, const char* name) {
    HKEY key = 0;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    DWORD subKeys = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    char child[256];
    for (DWORD i = subKeys; i-- > 0;)
        if (RegEnumKeyA(key, i, child, sizeof child) == ERROR_SUCCESS) DeleteTree(key, child);
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}

} // namespace

int main() {
    double create = 0, walk = 0, remove = 0;
    {
        const hw::bench::TempRegistry registry;
        bool created = true;
        create = hw::bench::Seconds([&created] {
            for (int i = 0; i < kKeys && created; ++i) {
                HKEY key = 0;
                created = RegCreateKeyA(HKEY_CURRENT_USER, PathOf(i).c_str(), &key) == ERROR_SUCCESS;
                if (!created) break;
                SetValues(key, i);
                RegCloseKey(key);
            }
            hw::platform::FlushRegistry();
        });
        if (!created) return 1;

        long seen = 0;
        walk = hw::bench::Seconds([&seen] {
            HKEY root = 0;
            RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Bench\\Key0", 0, KEY_READ, &root);
            seen = Walk(root);
            RegCloseKey(root);
            hw::platform::FlushRegistry();
        });
        if (seen != static_cast<long>(kKeys) * kValuesPerKey)
            std::fprintf(stderr, "walk saw %ld values\n", seen);

        remove = hw::bench::Seconds([] {
            DeleteTree(HKEY_CURRENT_USER, "Software\\Bench");
            hw::platform::FlushRegistry();
        });
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    auto floor = RunFloor();
    std::printf("store.create.seconds %.3f\nstore.walk.seconds %.3f\nstore.delete.seconds %.3f\n", create,
                walk, remove);
    if (floor.count("create") && floor.count("walk")) {
        std::printf("store.create.ratio %.3f\n", create / floor["create"]);
        std::printf("store.walk.ratio %.3f\n", walk / floor["walk"]);
        if (floor.count("delete")) std::printf("store.delete.floor_seconds %.3f\n", floor["delete"]);
    }
    std::printf("store.peak_rss_mb %.1f\n", usage.ru_maxrss / 1024.0);
    return 0;
}
