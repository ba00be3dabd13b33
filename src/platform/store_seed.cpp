#include "platform/store_seed.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace hw::platform {

namespace {

std::string Text(const std::string& text) {
    return text + std::string(1, '\0');
}

std::string Number(DWORD value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

void FileClass(SeedTarget& seed, std::int64_t classes, const std::string& extension,
               const std::string& className, const std::string& description, const std::string& command) {
    seed.SeedValue(seed.SeedKey(classes, extension), "", REG_SZ, Text(className));
    std::int64_t type = seed.SeedKey(classes, className);
    seed.SeedValue(type, "", REG_SZ, Text(description));
    seed.SeedValue(seed.SeedKey(type, "shell\\open\\command"), "", REG_SZ, Text(command));
}

} // namespace

std::string DefaultWindowsDirectory() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    if (config && *config) {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : "/tmp") / ".config";
    }
    return (base / "hivewright").string();
}

void SeedMachine(SeedTarget& seed) {
    std::int64_t machine = seed.RealRootId(HKEY_LOCAL_MACHINE);

    std::int64_t classes = seed.SeedKey(machine, "SOFTWARE\\Classes");
    FileClass(seed, classes, ".txt", "txtfile", "Text Document", "/usr/bin/xdg-open \"%1\"");
    FileClass(seed, classes, ".ini", "inifile", "Configuration Settings", "/usr/bin/xdg-open \"%1\"");
    FileClass(seed, classes, ".reg", "regfile", "Registration Entries", "hivewright /import \"/file:<%1>\"");
    seed.SeedValue(seed.SeedKey(classes, ".txt"), "Content Type", REG_SZ, Text("text/plain"));

    std::string windowsDir = DefaultWindowsDirectory();
    std::error_code ignored;
    std::filesystem::create_directories(windowsDir, ignored);
    std::int64_t nt = seed.SeedKey(machine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    seed.SeedValue(nt, "SystemRoot", REG_SZ, Text(windowsDir));
    seed.SeedValue(nt, "CurrentVersion", REG_SZ, Text("10.0"));
    seed.SeedValue(nt, "ProductName", REG_SZ, Text("Hivewright Registry"));
    std::int64_t windows = seed.SeedKey(machine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    seed.SeedValue(windows, "ProgramFilesDir", REG_SZ, Text("/usr/local"));
    seed.SeedValue(windows, "CommonFilesDir", REG_EXPAND_SZ, Text("%ProgramFiles%\\Common Files"));

    std::int64_t system = seed.SeedKey(machine, "SYSTEM");
    std::int64_t controlSet = seed.SeedKey(system, "ControlSet001");
    seed.SeedKey(controlSet, "Control");
    seed.SeedKey(controlSet, "Services");
    std::int64_t profiles = seed.SeedKey(controlSet, "Hardware Profiles");
    std::int64_t profile = seed.SeedKey(profiles, "0001");
    seed.SeedKey(profile, "System\\CurrentControlSet");
    seed.SeedLink(profiles, "Current", profile);
    seed.SeedLink(system, "CurrentControlSet", controlSet);
    std::int64_t select = seed.SeedKey(system, "Select");
    for (const char* name : {"Current", "Default", "LastKnownGood"})
        seed.SeedValue(select, name, REG_DWORD, Number(1));
    seed.SeedValue(select, "Failed", REG_DWORD, Number(0));

    std::int64_t hardware = seed.SeedKey(machine, "HARDWARE");
    std::int64_t description = seed.SeedKey(hardware, "DESCRIPTION");
    std::int64_t systemDescription = seed.SeedKey(description, "System");
    seed.SeedValue(systemDescription, "Identifier", REG_SZ, Text("AT/AT COMPATIBLE"));
    for (std::int64_t key : {hardware, description, systemDescription})
        seed.SeedRights(key, KeyRights::ReadOnly);
    seed.SeedRights(seed.SeedKey(machine, "SAM"), KeyRights::None);
    seed.SeedRights(seed.SeedKey(machine, "SECURITY"), KeyRights::None);

    std::int64_t users = seed.RealRootId(HKEY_USERS);
    seed.SeedKey(users, ".DEFAULT\\Software");
}

void SeedUser(SeedTarget& seed, const UserIdentity& user) {
    std::int64_t users = seed.RealRootId(HKEY_USERS);
    std::int64_t userKey = seed.SeedKey(users, user.sid);
    std::int64_t classes = seed.SeedKey(userKey, "Software\\Classes");
    seed.SeedKey(userKey, "Environment");
    std::int64_t explorer = seed.SeedKey(userKey, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer");
    seed.SeedValue(explorer, "Logon User Name", REG_SZ, Text(user.loginName));
    // The per-user class key is a view of the user's Software\Classes.
    seed.SeedLink(users, user.sid + "_Classes", classes);
}

} // namespace hw::platform
