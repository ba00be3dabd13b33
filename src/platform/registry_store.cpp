#include "platform/registry_store.h"

#include <filesystem>
#include <system_error>

namespace hw::platform {

bool RegistryStore::HoldsFile(const std::string& path) const {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path wanted = fs::weakly_canonical(path, error);
    if (error) return false;
    for (const std::string& own : Files()) {
        std::error_code ignored;
        // The same file under another name (a hard link), or the same path once links are resolved, even
        // for a file not made yet.
        if (fs::equivalent(path, own, ignored) || fs::weakly_canonical(own, ignored) == wanted) return true;
    }
    return false;
}

} // namespace hw::platform
