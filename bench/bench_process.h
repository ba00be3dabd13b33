// For benchmarks that run the program as a user does: the generated corpus, the program beside this build,
// and one run of it with its time and peak memory.
#pragma once

#include "bench_support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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

// A generated corpus with its keys moved from HKEY_CURRENT_USER to the key named by root
// ("HKEY_LOCAL_MACHINE").
inline void GenerateCorpusBelow(const std::string& size, const std::filesystem::path& output,
                                const std::string& root) {
    const std::filesystem::path user = output.string() + ".user";
    GenerateCorpus(size, user);
    std::ifstream in(user, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string corpus = text.str();
    const std::string from = "[HKEY_CURRENT_USER\\", to = "[" + root + "\\";
    std::string moved;
    moved.reserve(corpus.size() + corpus.size() / 8);
    std::size_t done = 0;
    for (std::size_t at = corpus.find(from); at != std::string::npos; at = corpus.find(from, done)) {
        moved.append(corpus, done, at - done).append(to);
        done = at + from.size();
    }
    moved.append(corpus, done);
    std::ofstream(output, std::ios::binary) << moved;
    std::filesystem::remove(user);
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

namespace process_detail {

inline bool WriteAll(int fd, const void* data, std::size_t size) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t done = ::write(fd, at, size);
        if (done <= 0) return false;
        at += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

inline bool ReadAll(int fd, void* data, std::size_t size) {
    char* at = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t done = ::read(fd, at, size);
        if (done <= 0) return false;
        at += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

inline bool WriteText(int fd, const std::string& text) {
    const std::size_t size = text.size();
    return WriteAll(fd, &size, sizeof size) && WriteAll(fd, text.data(), size);
}

inline bool ReadText(int fd, std::string& text) {
    std::size_t size = 0;
    if (!ReadAll(fd, &size, sizeof size)) return false;
    text.resize(size);
    return ReadAll(fd, text.data(), size);
}

struct Outcome {
    int status = 0;
    RunFigures figures;
};

// Runs one command and measures it: the environment's first two entries are the registry and config.
inline Outcome Launch(const std::vector<std::string>& command) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return {-1, {}};
    if (child == 0) {
        setenv("HIVEWRIGHT_REGISTRY", command[0].c_str(), 1);
        setenv("XDG_CONFIG_HOME", command[1].c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (!std::freopen("/dev/null", "w", stdout)) _exit(126);
        std::vector<char*> argv;
        for (std::size_t i = 2; i < command.size(); ++i)
            argv.push_back(const_cast<char*>(command[i].c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return {-1, {}};
    auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    return {status,
            {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
             seconds(usage.ru_utime) + seconds(usage.ru_stime),
             static_cast<double>(usage.ru_maxrss) * 1024.0}};
}

// A child's peak memory counts whatever the process it was forked from held at the time, so the programs
// are started by a small process forked before the benchmark grew.
class Launcher {
  public:
    Launcher() {
        int commands[2], outcomes[2];
        if (pipe(commands) != 0 || pipe(outcomes) != 0) return;
        const pid_t launcher = fork();
        if (launcher == 0) {
            ::close(commands[1]);
            ::close(outcomes[0]);
            Serve(commands[0], outcomes[1]);
            _exit(0);
        }
        ::close(commands[0]);
        ::close(outcomes[1]);
        if (launcher < 0) return;
        pid_ = launcher;
        commands_ = commands[1];
        outcomes_ = outcomes[0];
    }
    ~Launcher() {
        if (pid_ <= 0) return;
        ::close(commands_);
        ::close(outcomes_);
        waitpid(pid_, nullptr, 0);
    }
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    Outcome Run(const std::vector<std::string>& command) {
        if (pid_ <= 0) return Launch(command);
        bool sent = WriteText(commands_, std::to_string(command.size()));
        for (const std::string& part : command)
            sent = sent && WriteText(commands_, part);
        Outcome outcome;
        if (!sent || !ReadAll(outcomes_, &outcome, sizeof outcome))
            throw std::runtime_error("the launcher failed");
        return outcome;
    }

  private:
    static void Serve(int commands, int outcomes) {
        std::string count;
        while (ReadText(commands, count)) {
            std::vector<std::string> command(std::stoul(count));
            for (std::string& part : command)
                if (!ReadText(commands, part)) return;
            const Outcome outcome = Launch(command);
            if (!WriteAll(outcomes, &outcome, sizeof outcome)) return;
        }
    }

    pid_t pid_ = -1;
    int commands_ = -1;
    int outcomes_ = -1;
};

// Started while the benchmark program is still small.
inline Launcher launcher;

} // namespace process_detail

// Runs the program on the registry location with its settings in config and waits; throws when it fails.
inline RunFigures Run(const std::vector<std::string>& command, const std::string& registry,
                      const std::filesystem::path& config) {
    std::vector<std::string> full = {registry, config.string()};
    full.insert(full.end(), command.begin(), command.end());
    const process_detail::Outcome outcome = process_detail::launcher.Run(full);
    const int status = outcome.status;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(command[1] + " failed with status " + std::to_string(status));
    return outcome.figures;
}

} // namespace hw::bench
