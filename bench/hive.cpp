// The hive store: importing the 20 MB corpus into an empty hive against the SQLite store in the same run, the
// hive's size against the database's, exporting it whole, opening a 100 MB hive, and peak memory with it open
// and walked.
#include "bench_process.h"
#include "platform/registry_store.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr const char* kMount = "BENCH";

using hw::bench::Run;
using hw::bench::RunFigures;

std::string HiveLocation(const fs::path& hive) {
    return hw::platform::kHiveRegistryPrefix + hive.string() + "=" + kMount + "\n";
}

// A hive holding the corpus of that size, imported through the program.
RunFigures ImportedHive(const std::string& size, const fs::path& folder, const fs::path& hive,
                        const fs::path& config) {
    const fs::path corpus = folder / ("corpus-" + size + ".reg");
    hw::bench::GenerateCorpusBelow(size, corpus, std::string("HKEY_LOCAL_MACHINE\\") + kMount);
    return Run({hw::bench::ProgramPath().string(), "--import", corpus.string(), "--yes"}, HiveLocation(hive),
               config);
}

} // namespace

int main() {
    try {
        const fs::path program = hw::bench::ProgramPath();
        const hw::bench::TempFolder temp;
        const fs::path config = temp.path() / "config", hive = temp.path() / "corpus.hive";
        const fs::path database = temp.path() / "registry.db";
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);

        const RunFigures intoHive = ImportedHive("20M", temp.path(), hive, config);
        const RunFigures intoSqlite =
            Run({program.string(), "--import", (temp.path() / "corpus-20M.reg").string(), "--yes"},
                database.string(), config);
        const double hiveBytes = static_cast<double>(fs::file_size(hive));

        const fs::path exported = temp.path() / "exported.reg";
        const RunFigures exporting = Run(
            {program.string(), "--export", std::string("HKEY_LOCAL_MACHINE\\") + kMount, exported.string()},
            HiveLocation(hive), config);

        const fs::path large = temp.path() / "large.hive";
        ImportedHive("100M", temp.path(), large, config);
        double open = 1e9;
        for (int round = 0; round < 3; ++round) {
            open = std::min(
                open, hw::bench::Seconds([&] {
                    auto store = hw::platform::OpenHiveStore({large.string() + "=" + kMount}, nullptr, true);
                    HKEY key = 0;
                    char name[256];
                    DWORD length = sizeof name;
                    if (!store ||
                        store->OpenKey(HKEY_LOCAL_MACHINE, kMount, KEY_READ, &key) != ERROR_SUCCESS ||
                        store->EnumKey(key, 0, name, &length) != ERROR_SUCCESS)
                        throw std::runtime_error("the large hive did not open");
                }));
        }
        const RunFigures walked =
            Run({program.string(), "--export", std::string("HKEY_LOCAL_MACHINE\\") + kMount,
                 (temp.path() / "large.reg").string()},
                HiveLocation(large), config);

        std::printf("hive.import.ratio %.2f\n", intoHive.seconds / intoSqlite.seconds);
        std::printf("hive.export_mb_per_s %.1f\n",
                    static_cast<double>(fs::file_size(exported)) / kMegabyte / exporting.seconds);
        std::printf("hive.open_100mb.seconds %.3f\n",
                    open * 100 * kMegabyte / static_cast<double>(fs::file_size(large)));
        std::printf("hive.peak_rss_ratio %.2f\n",
                    walked.peakBytes / static_cast<double>(fs::file_size(large)));
        std::printf("hive.size_ratio %.2f\n", hiveBytes / static_cast<double>(fs::file_size(database)));
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_hive: %s\n", failure.what());
        return 1;
    }
}
