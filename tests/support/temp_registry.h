// A fresh registry database in a temp dir, installed as the process's store for the lifetime of the object.
#pragma once

#include <filesystem>
#include <string>

namespace hw::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

class TempRegistry {
  public:
    TempRegistry();
    ~TempRegistry();
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;
    std::string databasePath() const { return dir_.file("registry.db"); }
    const TempDir& dir() const { return dir_; }

  private:
    TempDir dir_;
};

} // namespace hw::test
