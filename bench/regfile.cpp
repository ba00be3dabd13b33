// Registration file import and export, measured on the whole program as a user runs it: a generated corpus
// is imported into a fresh registry database, then exported again. Prints speed, peak memory and linearity.
#include "bench_floor.h"
#include "bench_process.h"
#include "regfile/utf16.h"

#include <algorithm>
#include <fstream>
#include <iterator>

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
constexpr int kExportRuns = 3;

// The corpus as a UTF-16LE file with its byte-order mark.
void WriteUtf16Copy(const fs::path& from, const fs::path& to) {
    std::ifstream in(from, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string wide = "\xFF\xFE";
    hw::regfile::AppendUtf8AsUtf16Le(text, wide);
    std::ofstream(to, std::ios::binary) << wide;
}

double MegabytesPerSecond(const fs::path& file, const RunFigures& run) {
    return static_cast<double>(fs::file_size(file)) / kMegabyte / run.seconds;
}

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
        const fs::path ansi = temp.path() / "ansi.reg";
        const fs::path utf16 = temp.path() / "utf16.reg";
        // The same tree with Windows-1252 letters in its strings: a file that is not UTF-8.
        hw::bench::GenerateCorpus("100M", ansi, "--latin1");
        WriteUtf16Copy(large, utf16);
        const RunFigures ansiImport = ImportFresh(program, ansi, temp.path());
        const RunFigures utf16Import = ImportFresh(program, utf16, temp.path());
        const double ansiSpeed = MegabytesPerSecond(ansi, ansiImport);
        const double utf16Speed = MegabytesPerSecond(utf16, utf16Import);
        fs::remove(ansi);
        fs::remove(utf16);

        // The best of a few exports, each beside the same rows read back by SQLite alone: a shared machine
        // only ever adds time.
        const fs::path exported = temp.path() / "exported.reg";
        RunFigures exportRun;
        double readFloorCpu = 0, exportPeakBytes = 0;
        for (int run = 0; run < kExportRuns; ++run) {
            fs::remove(exported);
            const RunFigures figures = Run({program.string(), "--export", kExportedKey, exported.string()},
                                           (temp.path() / "large.db").string(), temp.path() / "config");
            const double floorCpu = hw::bench::SqliteReadFloor((temp.path() / "large.db").string());
            if (run == 0 || figures.cpuSeconds < exportRun.cpuSeconds) exportRun = figures;
            if (run == 0 || floorCpu < readFloorCpu) readFloorCpu = floorCpu;
            exportPeakBytes = std::max(exportPeakBytes, figures.peakBytes);
        }
        const double exportedBytes = static_cast<double>(fs::file_size(exported));
        if (exportedBytes < largeBytes / 2)
            throw std::runtime_error("the export is far smaller than the import");
        // The rows the large import made, inserted by SQLite alone.
        const double floorCpu = hw::bench::SqliteInsertFloor(
            (temp.path() / "large.db").string(), (temp.path() / "floor.db").string(),
            {{"keys", "id"}, {"vals", "seq"}, {"blobs", "id"}});
        const double importSpeed = largeBytes / kMegabyte / largeImport.seconds;
        std::printf("import.mb_per_s %.1f\n", importSpeed);
        std::printf("import.cpu_mb_per_s %.1f\n", largeBytes / kMegabyte / largeImport.cpuSeconds);
        std::printf("import.floor_ratio %.2f\n", largeImport.cpuSeconds / floorCpu);
        std::printf("import.peak_rss_ratio %.2f\n", largeImport.peakBytes / largeBytes);
        std::printf("import.linearity %.2f\n", largeImport.seconds / (10.0 * mediumImport.seconds));
        // A ratio of at least 0.8 keeps the conversions cheap.
        std::printf("import_ansi.mb_per_s %.1f\n", ansiSpeed);
        std::printf("import_ansi.ratio %.2f\n", ansiSpeed / importSpeed);
        std::printf("import_utf16.mb_per_s %.1f\n", utf16Speed);
        std::printf("import_utf16.ratio %.2f\n", utf16Speed / importSpeed);
        std::printf("export.mb_per_s %.1f\n", exportedBytes / kMegabyte / exportRun.seconds);
        std::printf("export.cpu_mb_per_s %.1f\n", exportedBytes / kMegabyte / exportRun.cpuSeconds);
        std::printf("export.corpus_mb_per_cpu_s %.1f\n", largeBytes / kMegabyte / exportRun.cpuSeconds);
        std::printf("export.floor_ratio %.2f\n", exportRun.cpuSeconds / readFloorCpu);
        std::printf("export.peak_rss_mb %.1f\n", exportPeakBytes / kMegabyte);
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_regfile: %s\n", failure.what());
        return 1;
    }
}
