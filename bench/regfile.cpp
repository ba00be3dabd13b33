// Registration file import and export, measured on the whole program as a user runs it: a generated corpus
// is imported into a fresh registry database, then exported again. Prints speed, peak memory and linearity.
#include "bench_process.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

const char* const kExportedKey = "HKEY_CURRENT_USER\\Software\\Bench";

using hw::bench::Run;
using hw::bench::RunFigures;

// Imports the corpus into a fresh database named after it.
RunFigures ImportFresh(const fs::path& program, const fs::path& corpus, const fs::path& folder) {
    const fs::path database = folder / (corpus.stem().string() + ".db");
    return Run({program.string(), "--import", corpus.string(), "--yes"}, database.string(),
               folder / "config");
}

constexpr double kMegabyte = 1024.0 * 1024.0;

} // namespace

int main() {
    try {
        const fs::path program = hw::bench::ProgramPath();
        const hw::bench::TempFolder temp;
        const fs::path medium = temp.path() / "medium.reg";
        const fs::path large = temp.path() / "large.reg";
        hw::bench::GenerateCorpus("10M", medium);
        hw::bench::GenerateCorpus("100M", large);

        const RunFigures mediumImport = ImportFresh(program, medium, temp.path());
        const RunFigures largeImport = ImportFresh(program, large, temp.path());
        const double largeBytes = static_cast<double>(fs::file_size(large));

        const fs::path exported = temp.path() / "exported.reg";
        const RunFigures exportRun = Run({program.string(), "--export", kExportedKey, exported.string()},
                                         (temp.path() / "large.db").string(), temp.path() / "config");
        const double exportedBytes = static_cast<double>(fs::file_size(exported));
        if (exportedBytes < largeBytes / 2)
            throw std::runtime_error("the export is far smaller than the import");

        std::printf("import.mb_per_s %.1f\n", largeBytes / kMegabyte / largeImport.seconds);
        std::printf("import.cpu_mb_per_s %.1f\n", largeBytes / kMegabyte / largeImport.cpuSeconds);
        std::printf("import.peak_rss_ratio %.2f\n", largeImport.peakBytes / largeBytes);
        std::printf("import.linearity %.2f\n", largeImport.seconds / (10.0 * mediumImport.seconds));
        std::printf("export.mb_per_s %.1f\n", exportedBytes / kMegabyte / exportRun.seconds);
        std::printf("export.cpu_mb_per_s %.1f\n", exportedBytes / kMegabyte / exportRun.cpuSeconds);
        std::printf("export.peak_rss_mb %.1f\n", exportRun.peakBytes / kMegabyte);
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_regfile: %s\n", failure.what());
        return 1;
    }
}
