// The Wine prefix store on a prefix whose system.reg holds the 20 MB corpus: loading, saving after one
// change, importing through the program against the SQLite store in the same run, and peak memory with it
// open, on that prefix and on one of the 100 MB corpus.
#include "bench_process.h"
#include "platform/registry_store.h"
#include "store/wine/wine_store.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;

using hw::bench::Run;
using hw::bench::RunFigures;

double PrefixBytes(const fs::path& prefix) {
    double bytes = 0;
    for (const char* name : {"system.reg", "user.reg", "userdef.reg"})
        bytes += static_cast<double>(fs::file_size(prefix / name));
    return bytes;
}

} // namespace

int main() {
    try {
        const fs::path program = hw::bench::ProgramPath();
        const hw::bench::TempFolder temp;
        const fs::path corpus = temp.path() / "machine.reg", prefix = temp.path() / "prefix";
        const fs::path config = temp.path() / "config";
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        hw::bench::GenerateCorpusBelow("20M", corpus, "HKEY_LOCAL_MACHINE");
        hw::store::wine::WineStore::WriteSkeletonPrefix(prefix.string());

        const std::vector<std::string> import = {program.string(), "--import", corpus.string(), "--yes"};
        const RunFigures intoWine = Run(import, hw::platform::kWineRegistryPrefix + prefix.string(), config);
        const RunFigures intoSqlite = Run(import, (temp.path() / "registry.db").string(), config);
        const double systemBytes = static_cast<double>(fs::file_size(prefix / "system.reg"));
        if (systemBytes < 10 * kMegabyte) throw std::runtime_error("the corpus did not reach system.reg");

        // Best of three: the machine is shared.
        double open = 1e9, save = 1e9;
        for (int round = 0; round < 3; ++round) {
            std::unique_ptr<hw::platform::RegistryStore> store;
            open = std::min(
                open, hw::bench::Seconds([&] { store = hw::platform::OpenWineStore(prefix.string()); }));
            if (!store) throw std::runtime_error("the prefix did not open");
            HKEY key = 0;
            if (store->CreateKey(HKEY_LOCAL_MACHINE, "Software\\Bench", 0, &key, nullptr) != ERROR_SUCCESS)
                throw std::runtime_error("the corpus key is missing");
            const DWORD number = static_cast<DWORD>(round);
            store->SetValue(key, "Round", REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
            store->CloseKey(key);
            save = std::min(save, hw::bench::Seconds([&] { store->Flush(); }));
        }

        const fs::path exported = temp.path() / "select.reg";
        const RunFigures opened =
            Run({program.string(), "--export", "HKEY_LOCAL_MACHINE\\SYSTEM\\Select", exported.string()},
                hw::platform::kWineRegistryPrefix + prefix.string(), config);

        // The program itself, on a prefix of almost nothing: what the store adds is the rest.
        const fs::path skeleton = temp.path() / "skeleton";
        hw::store::wine::WineStore::WriteSkeletonPrefix(skeleton.string());
        const RunFigures bare = Run({program.string(), "--export", "HKEY_LOCAL_MACHINE", exported.string()},
                                    hw::platform::kWineRegistryPrefix + skeleton.string(), config);

        std::printf("wine.open_mb_per_s %.1f\n", PrefixBytes(prefix) / kMegabyte / open);
        std::printf("wine.save_mb_per_s %.1f\n", systemBytes / kMegabyte / save);
        std::printf("wine.import.ratio %.2f\n", intoWine.seconds / intoSqlite.seconds);
        // Memory as a share of the prefix, on a prefix the size the figure was first measured at: the
        // program's own fixed memory is then a small part of it, as for the prefixes people use.
        const fs::path largeCorpus = temp.path() / "large.reg", largePrefix = temp.path() / "large";
        hw::bench::GenerateCorpusBelow("100M", largeCorpus, "HKEY_LOCAL_MACHINE");
        hw::store::wine::WineStore::WriteSkeletonPrefix(largePrefix.string());
        Run({program.string(), "--import", largeCorpus.string(), "--yes"},
            hw::platform::kWineRegistryPrefix + largePrefix.string(), config);
        fs::remove(largeCorpus);
        const RunFigures openedLarge =
            Run({program.string(), "--export", "HKEY_LOCAL_MACHINE\\SYSTEM\\Select", exported.string()},
                hw::platform::kWineRegistryPrefix + largePrefix.string(), config);
        std::printf("wine.peak_rss_ratio %.2f\n", openedLarge.peakBytes / PrefixBytes(largePrefix));
        std::printf("wine.peak_rss_ratio_20mb %.2f\n", opened.peakBytes / PrefixBytes(prefix));
        std::printf("wine.store_rss_ratio %.2f\n", (opened.peakBytes - bare.peakBytes) / PrefixBytes(prefix));
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_wine: %s\n", failure.what());
        return 1;
    }
}
