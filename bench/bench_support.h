// What the benchmark programs share: a registry of their own in a temporary folder, and timing.
#pragma once

#include "platform/registry_store.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

namespace hw::bench {

// Wall time and this process's processor time; the second does not move when the machine is shared.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

inline double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

inline Timing Measure(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    work();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            CpuSeconds() - cpuStart};
}

inline double Seconds(const std::function<void()>& work) {
    return Measure(work).wall;
}

// A temporary folder, removed with all it holds when destroyed.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "hivewright-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A fresh SQLite registry in use until destroyed, in a temporary folder that also holds the program's
// settings folder, so no benchmark touches the user's own files; Qt draws offscreen.
class TempRegistry {
  public:
    TempRegistry() {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_CONFIG_HOME", (folder_.path() / "config").c_str(), 1);
        std::string error;
        auto store = platform::OpenSqliteStore((folder_.path() / "registry.db").string(), &error);
        if (!store) throw std::runtime_error("cannot open the registry: " + error);
        platform::UseRegistry(std::move(store));
    }
    ~TempRegistry() { platform::UseRegistry(nullptr); }
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    const std::filesystem::path& dir() const { return folder_.path(); }

  private:
    TempFolder folder_;
};

} // namespace hw::bench
