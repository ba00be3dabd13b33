// Registration file import and export, measured on the whole program as a user runs it: a generated corpus
// is imported into a fresh registry database, then exported again. Prints speed, peak memory and linearity.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kExportedKey = "HKEY_CURRENT_USER\\Software\\Bench";

struct RunFigures {
    double seconds = 0;
    double cpuSeconds = 0; // user and system: what the run costs when the machine is shared
    double peakBytes = 0;
};

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6;
}

fs::path SharedFolder() {
    if (const char* shared = std::getenv("HIVEWRIGHT_SHARED"); shared && *shared) return shared;
    for (const fs::path& candidate : {fs::current_path() / ".." / "shared", fs::current_path() / "shared"}) {
        if (fs::exists(candidate / "bench" / "gen_corpus.py")) return candidate;
    }
    throw std::runtime_error("shared/ not found: set HIVEWRIGHT_SHARED");
}

// The program lives in the build dir, the parent of this benchmark's folder.
fs::path ProgramPath() {
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path program = self.parent_path().parent_path() / "hivewright";
    if (!fs::exists(program)) throw std::runtime_error(program.string() + " not found");
    return program;
}

// Runs the command with the given registry database and waits for it; throws when it fails.
RunFigures Run(const std::vector<std::string>& command, const fs::path& registry,
               const fs::path& configHome) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        setenv("HIVEWRIGHT_REGISTRY", registry.c_str(), 1);
        setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (std::FILE* quiet = std::freopen("/dev/null", "w", stdout); !quiet) _exit(126);
        std::vector<char*> argv;
        for (const std::string& part : command)
            argv.push_back(const_cast<char*>(part.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) throw std::runtime_error("wait4 failed");
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(command[1] + " failed with status " + std::to_string(status));
    }
    return {elapsed.count(), Seconds(usage.ru_utime) + Seconds(usage.ru_stime),
            static_cast<double>(usage.ru_maxrss) * 1024.0};
}

void Generate(const fs::path& shared, const std::string& size, const fs::path& output) {
    const std::string command = "python3 '" + (shared / "bench" / "gen_corpus.py").string() + "' --size " +
                                size + " -o '" + output.string() + "' > /dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("corpus generation failed");
}

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "hivewright-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

// Imports the corpus into a fresh database named after it.
RunFigures ImportFresh(const fs::path& program, const fs::path& corpus, const fs::path& folder) {
    const fs::path database = folder / (corpus.stem().string() + ".db");
    return Run({program.string(), "--import", corpus.string(), "--yes"}, database, folder / "config");
}

constexpr double kMegabyte = 1024.0 * 1024.0;

} // namespace

int main() {
    try {
        const fs::path shared = SharedFolder();
        const fs::path program = ProgramPath();
        TempFolder temp;
        const fs::path medium = temp.path() / "medium.reg";
        const fs::path large = temp.path() / "large.reg";
        Generate(shared, "10M", medium);
        Generate(shared, "100M", large);

        const RunFigures mediumImport = ImportFresh(program, medium, temp.path());
        const RunFigures largeImport = ImportFresh(program, large, temp.path());
        const double largeBytes = static_cast<double>(fs::file_size(large));

        const fs::path exported = temp.path() / "exported.reg";
        const RunFigures exportRun = Run({program.string(), "--export", kExportedKey, exported.string()},
                                         temp.path() / "large.db", temp.path() / "config");
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
