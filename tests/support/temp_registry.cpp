#include "support/temp_registry.h"

#include "platform/registry_store.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>

namespace hw::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "hivewright-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

TempRegistry::TempRegistry() {
    // Seeding creates the Windows directory under XDG_CONFIG_HOME: keep it inside the temp dir.
    setenv("XDG_CONFIG_HOME", dir_.file("config").c_str(), 1);
    std::string error;
    auto store = platform::OpenSqliteStore(databasePath(), &error);
    if (!store) throw std::runtime_error("cannot open test registry: " + error);
    platform::UseRegistry(std::move(store));
}

TempRegistry::~TempRegistry() {
    platform::UseRegistry(nullptr);
}

} // namespace hw::test
