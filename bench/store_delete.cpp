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
        Corpus(registry.dir().string());
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_store_delete: %s\n", failure.what());
        return 1;
    }
}
