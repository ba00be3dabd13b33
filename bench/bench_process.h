// For benchmarks that run the program as a user does: the generated corpus, the program beside this build,
// and one run of it with its time and peak memory.
#pragma once

#include "bench_support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace hw::bench {

// The shared folder with the corpus generator: HIVEWRIGHT_SHARED, else beside or above the folder run in.
inline std::filesystem::path SharedFolder() {
    namespace fs = std::filesystem;
    if (const char* shared = std::getenv("HIVEWRIGHT_SHARED"); shared && *shared) return shared;
    for (const fs::path& candidate : {fs::current_path() / ".." / "shared", fs::current_path() / "shared",
                                      fs::current_path() / ".." / ".." / "shared"})
        if (fs::exists(candidate / "bench" / "gen_corpus.py")) return candidate;
    throw std::runtime_error("shared/ not found: set HIVEWRIGHT_SHARED");
}

// Writes a generated registration file of the given size ("20M", "100M").
inline void GenerateCorpus(const std::string& size, const std::filesystem::path& output,
                           const std::string& options = "") {
    const std::string command = "python3 '" + (SharedFolder() / "bench" / "gen_corpus.py").string() + "' " +
                                options + " --size " + size + " -o '" + output.string() + "' > /dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("corpus generation failed");
}

// The program lives in the build folder, the parent of the benchmarks' folder.
inline std::filesystem::path ProgramPath() {
    const std::filesystem::path program =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "hivewright";
    if (!std::filesystem::exists(program)) throw std::runtime_error(program.string() + " not found");
    return program;
}

struct RunFigures {
    double seconds = 0;
    double cpuSeconds = 0; // user and system: what the run costs when the machine is shared
    double peakBytes = 0;
};

// Runs the program on the registry location with its settings in config and waits; throws when it fails.
inline RunFigures Run(const std::vector<std::string>& command, const std::string& registry,
                      const std::filesystem::path& config) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        setenv("HIVEWRIGHT_REGISTRY", registry.c_str(), 1);
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
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
    auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            seconds(usage.ru_utime) + seconds(usage.ru_stime), static_cast<double>(usage.ru_maxrss) * 1024.0};
}

} // namespace hw::bench
