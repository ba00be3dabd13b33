#include "app/windows_dir.h"

#include "core/value_text.h"
#include "platform/registry_store.h"
#include "platform/store_seed.h"

#include <filesystem>

namespace hw::app {

namespace {

const char* const kWindowsDirKeyNt = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kWindowsDirKey9x = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion";

bool IsExistingAbsoluteDir(const std::string& dir) {
    std::error_code error;
    const std::filesystem::path path(dir);
    return path.is_absolute() && std::filesystem::is_directory(path, error);
}

} // namespace

std::string ReadWindowsDir(const platform::PlatformFacts& facts) {
    const char* key = facts.family == platform::kPlatformWin9x ? kWindowsDirKey9x : kWindowsDirKeyNt;
    std::string dir = core::ReadValueTextOfPath(key, "SystemRoot");
    if (!dir.empty() && dir.back() == '\\') dir.pop_back();
    // A Wine prefix names "C:\windows", which lives in the prefix's drive_c folder.
    dir = platform::CurrentRegistry().NativePath(dir);
    return IsExistingAbsoluteDir(dir) ? dir : platform::DefaultWindowsDirectory();
}

} // namespace hw::app
