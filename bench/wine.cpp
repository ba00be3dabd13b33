// The Wine prefix store on a prefix whose system.reg holds the 20 MB corpus: loading, saving after one
// change, importing through the program against the SQLite store in the same run, and peak memory with it
// open.
#include "platform/registry_store.h"
#include "platform/wine/wine_store.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;

fs::path SharedFolder() {
    if (const char* shared = std::getenv("HIVEWRIGHT_SHARED"); shared && *shared) return shared;
    for (const fs::path& candidate : {fs::current_path() / ".." / "shared", fs::current_path() / "shared"})
        if (fs::exists(candidate / "bench" / "gen_corpus.py")) return candidate;
    throw std::runtime_error("shared/ not found: set HIVEWRIGHT_SHARED");
}

fs::path ProgramPath() {
    const fs::path program = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "hivewright";
    if (!fs::exists(program)) throw std::runtime_error(program.string() + " not found");
    return program;
}

struct RunFigures {
    double seconds = 0;
    double peakBytes = 0;
};

// Runs the program on the registry location and waits for it; throws when it fails.
RunFigures Run(const std::vector<std::string>& command, const std::string& registry, const fs::path& config) {
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        setenv("HIVEWRIGHT_REGISTRY", registry.c_str(), 1);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        if (!std::freopen("/dev/null", "w", stdout)) _exit(126);
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
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(command[1] + " failed with status " + std::to_string(status));
    return {std::chrono::duration<double>(Clock::now() - start).count(),
            static_cast<double>(usage.ru_maxrss) * 1024.0};
}

double SecondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
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

// The corpus, moved below HKEY_LOCAL_MACHINE so that it lands in system.reg.
void MachineCorpus(const fs::path& shared, const fs::path& output) {
    const fs::path user = output.string() + ".user";
    const std::string command = "python3 '" + (shared / "bench" / "gen_corpus.py").string() +
                                "' --size 20M -o '" + user.string() + "' > /dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("corpus generation failed");
    std::ifstream in(user, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string corpus = text.str();
    const std::string from = "[HKEY_CURRENT_USER\\", to = "[HKEY_LOCAL_MACHINE\\";
    for (std::size_t at = corpus.find(from); at != std::string::npos; at = corpus.find(from, at + to.size()))
        corpus.replace(at, from.size(), to);
    std::ofstream(output, std::ios::binary) << corpus;
}

double PrefixBytes(const fs::path& prefix) {
    double bytes = 0;
    for (const char* name : {"system.reg", "user.reg", "userdef.reg"})
        bytes += static_cast<double>(fs::file_size(prefix / name));
    return bytes;
}

} // namespace

int main() {
    try {
        const fs::path program = ProgramPath();
        TempFolder temp;
        const fs::path corpus = temp.path() / "machine.reg", prefix = temp.path() / "prefix";
        const fs::path config = temp.path() / "config";
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        MachineCorpus(SharedFolder(), corpus);
        hw::platform::wine::WineStore::WriteSkeletonPrefix(prefix.string());

        const std::vector<std::string> import = {program.string(), "--import", corpus.string(), "--yes"};
        const RunFigures intoWine = Run(import, hw::platform::kWineRegistryPrefix + prefix.string(), config);
        const RunFigures intoSqlite = Run(import, (temp.path() / "registry.db").string(), config);
        const double systemBytes = static_cast<double>(fs::file_size(prefix / "system.reg"));
        if (systemBytes < 10 * kMegabyte) throw std::runtime_error("the corpus did not reach system.reg");

        // Best of three: the machine is shared.
        double open = 1e9, save = 1e9;
        for (int round = 0; round < 3; ++round) {
            std::unique_ptr<hw::platform::RegistryStore> store;
            open = std::min(open, SecondsOf([&] { store = hw::platform::OpenWineStore(prefix.string()); }));
            if (!store) throw std::runtime_error("the prefix did not open");
            HKEY key = 0;
            if (store->CreateKey(HKEY_LOCAL_MACHINE, "Software\\Bench", 0, &key, nullptr) != ERROR_SUCCESS)
                throw std::runtime_error("the corpus key is missing");
            const DWORD number = static_cast<DWORD>(round);
            store->SetValue(key, "Round", REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
            store->CloseKey(key);
            save = std::min(save, SecondsOf([&] { store->Flush(); }));
        }

        const fs::path exported = temp.path() / "select.reg";
        const RunFigures opened =
            Run({program.string(), "--export", "HKEY_LOCAL_MACHINE\\SYSTEM\\Select", exported.string()},
                hw::platform::kWineRegistryPrefix + prefix.string(), config);

        std::printf("wine.open_mb_per_s %.1f\n", PrefixBytes(prefix) / kMegabyte / open);
        std::printf("wine.save_mb_per_s %.1f\n", systemBytes / kMegabyte / save);
        std::printf("wine.import.ratio %.2f\n", intoWine.seconds / intoSqlite.seconds);
        std::printf("wine.peak_rss_ratio %.2f\n", opened.peakBytes / PrefixBytes(prefix));
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_wine: %s\n", failure.what());
        return 1;
    }
}
