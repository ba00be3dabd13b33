// Undoing the delete of a 100,000-key subtree, timed against the delete itself.
#include "bench_process.h"
#include "bench_support.h"
#include "core/key_ops.h"
#include "core/undo_history.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "regfile/reg_import.h"
#include "registry/change_journal.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr int kGroups = 100;
constexpr int kKeysPerGroup = 1000;

double Seconds(std::chrono::steady_clock::time_point since) {
    hw::platform::FlushRegistry();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Groups of keys, each key with a text and a number, as a program's settings tree looks.
bool BuildTree() {
    const std::string text = "C:\\Program Files\\Some Program\\bin\\program.exe";
    for (int group = 0; group < kGroups; ++group) {
        HKEY parent = 0;
        const std::string path = "Software\\UndoBench\\Group" + std::to_string(group);
        if (RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &parent) != ERROR_SUCCESS) return false;
        for (int i = 0; i < kKeysPerGroup; ++i) {
            HKEY key = 0;
            if (RegCreateKeyA(parent, ("Key" + std::to_string(i)).c_str(), &key) != ERROR_SUCCESS)
                return false;
            const DWORD number = static_cast<DWORD>(i);
            RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1));
            RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
            RegCloseKey(key);
        }
        RegCloseKey(parent);
    }
    return true;
}

double TimedImport(const std::string& file) {
    const auto start = std::chrono::steady_clock::now();
    if (hw::regfile::ImportRegFile(file) != hw::regfile::ImportResult::Success)
        std::fprintf(stderr, "bench_undo: the import failed\n");
    return Seconds(start);
}

// An import started from the window records what it overwrites and adds: its time over a plain import's.
double ImportRecordedRatio(const std::string& dir) {
    const std::string file = dir + "/corpus.reg";
    hw::bench::GenerateCorpus("20M", file);
    const double plain = TimedImport(file);
    hw::core::DeleteKeyPath("HKEY_CURRENT_USER\\Software\\Bench");
    hw::platform::FlushRegistry();
    double recorded = 0;
    {
        const hw::registry::UndoStep step("Import");
        recorded = TimedImport(file);
    }
    return recorded / plain;
}

} // namespace

int main() {
    const hw::bench::TempRegistry registry;
    if (!BuildTree()) {
        std::fprintf(stderr, "bench_undo: the tree was not built\n");
        return 1;
    }
    hw::platform::FlushRegistry();
    auto start = std::chrono::steady_clock::now();
    {
        const hw::registry::UndoStep step("Delete Key");
        if (!hw::core::DeleteKeyPath("HKEY_CURRENT_USER\\Software\\UndoBench"))
            std::fprintf(stderr, "bench_undo: the tree was not deleted\n");
    }
    const double remove = Seconds(start);
    start = std::chrono::steady_clock::now();
    const auto undone = hw::core::UndoLastStep().outcome;
    const double undo = Seconds(start);
    if (undone != hw::core::UndoOutcome::Done ||
        !hw::core::KeyPathExists("HKEY_CURRENT_USER\\Software\\UndoBench\\Group99\\Key999"))
        std::fprintf(stderr, "bench_undo: the delete was not undone\n");
    std::printf("undo.import.recorded_ratio %.3f\n", ImportRecordedRatio(registry.dir().string()));
    std::printf("undo.delete_100k.delete_seconds %.3f\nundo.delete_100k.undo_seconds %.3f\n"
                "undo.delete_100k.ratio %.3f\n",
                remove, undo, undo / remove);
    return 0;
}
