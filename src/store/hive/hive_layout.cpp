#include "store/hive/hive_layout.h"

#include "store/hive/hive_file.h"
#include "store/hive/hive_key.h"
#include "store/wine/wine_text.h"

#include <hivex.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>

namespace hw::store::hive {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProfileList = "Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
// Folders under Users\ that hold no one's own profile.
constexpr const char* kSharedProfiles[] = {"Default", "Default User", "Public", "All Users"};

bool SameName(std::string_view a, std::string_view b) {
    return wine::CompareNames(a, b) == 0;
}

// The entry of that name in any letter case, as NTFS mounts show names; empty when there is none.
fs::path FindEntry(const fs::path& folder, std::string_view name) {
    std::error_code failed;
    if (fs::exists(folder / name, failed)) return folder / name;
    for (const auto& entry : fs::directory_iterator(folder, failed))
        if (SameName(entry.path().filename().string(), name)) return entry.path();
    return {};
}

fs::path FindPath(fs::path folder, std::initializer_list<std::string_view> names) {
    for (std::string_view name : names) {
        folder = FindEntry(folder, name);
        if (folder.empty()) return {};
    }
    return folder;
}

std::string LastPathPart(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Profile folder name -> the SID ProfileList names it by.
std::map<std::string, std::string> ProfileSids(const fs::path& software) {
    std::map<std::string, std::string> sids;
    hive_h* h = software.empty() ? nullptr : hivex_open(software.c_str(), 0);
    if (!h) return sids;
    hive_node_h node = hivex_root(h);
    std::string path = kProfileList;
    for (std::size_t begin = 0; node && begin < path.size();) {
        std::size_t end = std::min(path.find('\\', begin), path.size());
        node = hivex_node_get_child(h, node, path.substr(begin, end - begin).c_str());
        begin = end + 1;
    }
    hive_node_h* profiles = node ? hivex_node_children(h, node) : nullptr;
    for (hive_node_h* profile = profiles; profile && *profile; ++profile) {
        char* sid = hivex_node_name(h, *profile);
        hive_value_h value = hivex_node_get_value(h, *profile, "ProfileImagePath");
        std::uint32_t type = 0;
        std::size_t length = 0;
        char* data = value ? ReadHiveValue(h, value, type, length) : nullptr;
        if (sid && data && IsTextType(type)) {
            std::string image = ReadValue({}, type, std::string(data, length)).text;
            image = image.substr(0, image.find('\0'));
            sids[LastPathPart(image)] = sid;
        }
        std::free(sid);
        std::free(data);
    }
    std::free(profiles);
    hivex_close(h);
    return sids;
}

} // namespace

HiveMount SingleHiveMount(const std::string& option) {
    std::size_t equals = option.rfind('=');
    // An equals sign inside the path is part of the file's name.
    if (equals != std::string::npos && option.find('/', equals) != std::string::npos)
        equals = std::string::npos;
    HiveMount mount;
    mount.file = equals == std::string::npos ? option : option.substr(0, equals);
    mount.name =
        equals == std::string::npos ? fs::path(mount.file).filename().string() : option.substr(equals + 1);
    return mount;
}

HiveLayout SingleHivesLayout(const std::vector<std::string>& options) {
    HiveLayout layout;
    layout.currentUser = ".DEFAULT";
    for (const std::string& option : options) {
        layout.mounts.push_back(SingleHiveMount(option));
        layout.description += (layout.description.empty() ? "hive " : ", ") + layout.mounts.back().file;
    }
    return layout;
}

HiveLayout WindowsLayout(const std::string& root, const std::string& user) {
    HiveLayout layout;
    layout.windowsInstallation = true;
    layout.description = "Windows installation " + root;
    const fs::path config = FindPath(root, {"Windows", "System32", "config"});
    const fs::path software = config.empty() ? fs::path() : FindEntry(config, "SOFTWARE");
    if (config.empty() || software.empty())
        throw std::runtime_error(root + " holds no Windows registry (Windows\\System32\\config\\SOFTWARE)");
    for (const char* name : {"SYSTEM", "SOFTWARE", "SAM", "SECURITY"})
        if (fs::path file = FindEntry(config, name); !file.empty())
            layout.mounts.push_back({file.string(), HKEY_LOCAL_MACHINE, name});
    if (fs::path file = FindEntry(config, "DEFAULT"); !file.empty())
        layout.mounts.push_back({file.string(), HKEY_USERS, ".DEFAULT"});

    const std::map<std::string, std::string> sids = ProfileSids(software);
    std::vector<fs::path> profiles;
    std::error_code failed;
    if (fs::path users = FindEntry(root, "Users"); !users.empty())
        for (const auto& entry : fs::directory_iterator(users, failed))
            if (!FindEntry(entry.path(), "NTUSER.DAT").empty()) profiles.push_back(entry.path());
    std::sort(profiles.begin(), profiles.end());
    for (const fs::path& profile : profiles) {
        const std::string folder = profile.filename().string();
        const bool shared = std::any_of(std::begin(kSharedProfiles), std::end(kSharedProfiles),
                                        [&](const char* name) { return SameName(folder, name); });
        auto sid = std::find_if(sids.begin(), sids.end(),
                                [&](const auto& entry) { return SameName(entry.first, folder); });
        const std::string key = sid != sids.end() ? sid->second : folder;
        if (shared && sid == sids.end()) continue;
        layout.mounts.push_back({FindEntry(profile, "NTUSER.DAT").string(), HKEY_USERS, key});
        const fs::path classes =
            FindPath(profile, {"AppData", "Local", "Microsoft", "Windows", "UsrClass.dat"});
        if (!classes.empty()) layout.mounts.push_back({classes.string(), HKEY_USERS, key + "_Classes"});
        const bool chosen = user.empty() ? !shared : SameName(user, folder) || SameName(user, key);
        if (layout.currentUser.empty() && chosen) layout.currentUser = key;
    }
    if (!user.empty() && layout.currentUser.empty())
        throw std::runtime_error(root + " has no profile of the user " + user);
    if (layout.currentUser.empty()) layout.currentUser = ".DEFAULT";
    return layout;
}

} // namespace hw::store::hive
