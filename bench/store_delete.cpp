// Deleting large trees through the registry operations, each timed against building the same tree in the same
// run: a key with 100,000 direct subkeys, and the tree of the 100 MB benchmark corpus imported from its file.
#include "bench_process.h"
#include "core/key_ops.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "regfile/reg_import.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int kWideKeys = 100000;
constexpr int kManyValues = 100000;
constexpr std::size_t kBigValue = std::size_t{50} << 20;

double Seconds(std::chrono::steady_clock::time_point since) {
    hw::platform::FlushRegistry();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Report(const char* name, double create, double remove) {
    std::printf("store.%s.create_seconds %.3f\nstore.%s.delete_seconds %.3f\nstore.%s.ratio %.3f\n", name,
                create, name, remove, name, remove / create);
}

void Wide() {
    auto start = std::chrono::steady_clock::now();
    HKEY parent = 0;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wide", &parent) != ERROR_SUCCESS) return;
    for (int i = 0; i < kWideKeys; ++i) {
        HKEY key = 0;
        if (RegCreateKeyA(parent, ("Key" + std::to_string(i)).c_str(), &key) == ERROR_SUCCESS)
            RegCloseKey(key);
    }
    RegCloseKey(parent);
    const double create = Seconds(start);
    start = std::chrono::steady_clock::now();
    const bool deleted = hw::core::DeleteKeyPath("HKEY_CURRENT_USER\\Software\\Wide");
    const double remove = Seconds(start);
    if (!deleted) std::fprintf(stderr, "the wide key was not deleted\n");
    Report("delete_wide", create, remove);
}

// Processor time of deleting a key of many values, made anew under the given name.
double DeleteManyValues(const std::string& name) {
    HKEY key = 0;
    if (RegCreateKeyA(HKEY_CURRENT_USER, ("Software\\" + name).c_str(), &key) != ERROR_SUCCESS) return 0;
    for (int i = 0; i < kManyValues; ++i) {
        const DWORD data = static_cast<DWORD>(i);
        RegSetValueExA(key, ("Value" + std::to_string(i)).c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&data), sizeof data);
    }
    RegCloseKey(key);
    hw::platform::FlushRegistry();
    return hw::bench::Measure([&] {
               if (!hw::core::DeleteKeyPath("HKEY_CURRENT_USER\\Software\\" + name))
                   std::fprintf(stderr, "the key of many values was not deleted\n");
               hw::platform::FlushRegistry();
           })
        .cpu;
}

// One very large value elsewhere in the store must not slow the deletes that never touch it.
void BigValueElsewhere() {
    const double plain = DeleteManyValues("ManyPlain");
    const std::string big(kBigValue, '\x5A');
    HKEY key = 0;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\BigValue", &key) == ERROR_SUCCESS) {
        RegSetValueExA(key, "big", 0, REG_BINARY, reinterpret_cast<const BYTE*>(big.data()),
                       static_cast<DWORD>(big.size()));
        RegCloseKey(key);
    }
    const double withBig = DeleteManyValues("ManyWithBig");
    std::printf("store.delete_with_big_value.cpu_seconds %.3f\nstore.delete_with_big_value.ratio %.3f\n",
                withBig, withBig / plain);
}

void Corpus(const std::string& dir) {
    const std::string file = dir + "/large.reg";
    hw::bench::GenerateCorpus("100M", file);
    auto start = std::chrono::steady_clock::now();
    const auto imported = hw::regfile::ImportRegFile(file);
    const double create = Seconds(start);
    if (imported != hw::regfile::ImportResult::Success) std::fprintf(stderr, "the corpus import failed\n");
    start = std::chrono::steady_clock::now();
    const bool deleted = hw::core::DeleteKeyPath("HKEY_CURRENT_USER\\Software\\Bench");
    const double remove = Seconds(start);
    if (!deleted) std::fprintf(stderr, "the corpus tree was not deleted\n");
    Report("delete_corpus", create, remove);
}

} // namespace

int main() {
    try {
        const hw::bench::TempRegistry registry;
        Wide();
        BigValueElsewhere();
        Corpus(registry.dir().string());
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_store_delete: %s\n", failure.what());
        return 1;
    }
}
