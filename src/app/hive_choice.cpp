#include "app/hive_choice.h"

#include "core/key_path.h"
#include "core/scoped_key.h"
#include "platform/registry_store.h"
#include "store/hive/hive_layout.h"
#include "store/wine/wine_text.h"

#include <ctime>
#include <sstream>
#include <vector>

namespace hw::app {

namespace {

constexpr std::string_view kMachine = "HKEY_LOCAL_MACHINE\\";

std::vector<std::string> HiveLines(const std::string& location) {
    std::vector<std::string> lines;
    const std::string_view scheme = platform::kHiveRegistryPrefix;
    if (!location.starts_with(scheme)) return lines;
    std::istringstream rest(location.substr(scheme.size()));
    for (std::string line; std::getline(rest, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string HiveLocation(const std::vector<std::string>& lines) {
    std::string location = platform::kHiveRegistryPrefix;
    for (const std::string& line : lines)
        location += line + "\n";
    return location;
}

} // namespace

std::string LocationAddingHive(const std::string& current, const std::string& file) {
    std::vector<std::string> lines = HiveLines(current);
    const store::hive::HiveMount mount = store::hive::SingleHiveMount(file);
    lines.push_back(mount.file + "=" + mount.name);
    return HiveLocation(lines);
}

std::string LocationWithoutHive(const std::string& current, const std::string& keyPath) {
    if (keyPath.size() <= kMachine.size() ||
        store::wine::CompareNames(keyPath.substr(0, kMachine.size()), kMachine) != 0)
        return {};
    const std::string name = keyPath.substr(kMachine.size());
    std::vector<std::string> lines = HiveLines(current);
    const auto kept = std::erase_if(lines, [&](const std::string& line) {
        return store::wine::CompareNames(store::hive::SingleHiveMount(line).name, name) == 0;
    });
    if (kept == 0) return {};
    return lines.empty() ? platform::OwnRegistryPath() : HiveLocation(lines);
}

std::string FileTimeText(std::uint64_t fileTime) {
    constexpr std::uint64_t kTicks1601To1970 = 116444736000000000ull;
    if (fileTime < kTicks1601To1970) return {};
    const std::time_t seconds = static_cast<std::time_t>((fileTime - kTicks1601To1970) / 10000000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string LastWriteText(const std::string& keyPath) {
    const core::ScopedKey key =
        core::OpenKeyOrUseRoot(core::RootKeyOfPath(keyPath), core::SubKeyOrEmpty(keyPath), KEY_QUERY_VALUE);
    FILETIME time{};
    if (!key || RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, &time) != ERROR_SUCCESS)
        return {};
    return FileTimeText(std::uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime);
}

} // namespace hw::app
