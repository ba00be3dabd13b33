#include "support/windows_installation.h"

#include "platform/registry_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace hw::test {

namespace {

struct Entry {
    std::string key; // below HKEY_LOCAL_MACHINE, starting with the hive's mount name
    std::string value;
    DWORD type = REG_SZ;
    std::string data; // text without its NUL, or the bytes of other types
};

std::string Dword(DWORD number) {
    return std::string(reinterpret_cast<const char*>(&number), 4);
}

} // namespace

void LayOutWindowsInstallation(const std::string& root) {
    namespace fs = std::filesystem;
    const fs::path config = fs::path(root) / "windows" / "System32" / "CONFIG";
    const fs::path alice = fs::path(root) / "Users" / "alice";
    const fs::path classes = alice / "AppData" / "Local" / "Microsoft" / "Windows";
    for (const fs::path& folder : {config, classes, fs::path(root) / "Users" / "bob",
                                   fs::path(root) / "Users" / "Default", fs::path(root) / "Users" / "Public"})
        fs::create_directories(folder);
    // SAM and SECURITY are filled under other names: the registry closes the keys of those names.
    const std::vector<std::string> hives = {
        (config / "system").string() + "=SYSTEM",
        (config / "SOFTWARE").string() + "=SOFTWARE",
        (config / "SAM").string() + "=SAMFILE",
        (config / "SECURITY").string() + "=SECURITYFILE",
        (config / "DEFAULT").string() + "=DEFAULT",
        (alice / "NTUSER.DAT").string() + "=ALICE",
        (classes / "UsrClass.dat").string() + "=ALICE_CLASSES",
        (fs::path(root) / "Users" / "bob" / "ntuser.dat").string() + "=BOB",
        (fs::path(root) / "Users" / "Default" / "NTUSER.DAT").string() + "=USERDEFAULT",
    };
    const std::string profiles = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
    const std::vector<Entry> entries = {
        {"SYSTEM\\Select", "Current", REG_DWORD, Dword(2)},
        {"SYSTEM\\Select", "Default", REG_DWORD, Dword(2)},
        {"SYSTEM\\ControlSet001\\Control", "Which", REG_SZ, "one"},
        {"SYSTEM\\ControlSet001\\Hardware Profiles\\Current", "", REG_SZ, "one"},
        {"SYSTEM\\ControlSet002\\Control", "Which", REG_SZ, "two"},
        {"SYSTEM\\ControlSet002\\Hardware Profiles\\Current", "", REG_SZ, "two"},
        {"SOFTWARE\\Classes\\.txt", "", REG_SZ, "txtfile"},
        {profiles + "S-1-5-18", "ProfileImagePath", REG_EXPAND_SZ,
         "%systemroot%\\system32\\config\\systemprofile"},
        {profiles + kWindowsUserSid, "ProfileImagePath", REG_EXPAND_SZ, "C:\\Users\\alice"},
        {"SAMFILE\\SAM\\Domains", "", REG_SZ, "sam"},
        {"SECURITYFILE\\Policy", "", REG_SZ, "policy"},
        {"DEFAULT\\Software", "", REG_SZ, "default"},
        {"ALICE\\Software\\Microsoft", "Owner", REG_SZ, "alice"},
        {"ALICE_CLASSES\\.user", "", REG_SZ, "userfile"},
        {"BOB\\Software", "Owner", REG_SZ, "bob"},
        {"USERDEFAULT\\Software", "", REG_SZ, "template"},
    };
    std::string error;
    auto store = platform::OpenHiveStore(hives, &error);
    ASSERT_TRUE(store) << error;
    for (const Entry& entry : entries) {
        HKEY key = 0;
        ASSERT_EQ(store->CreateKey(HKEY_LOCAL_MACHINE, entry.key.c_str(), 0, &key, nullptr), ERROR_SUCCESS)
            << entry.key;
        const std::string data = entry.type == REG_DWORD ? entry.data : entry.data + '\0';
        ASSERT_EQ(store->SetValue(key, entry.value.c_str(), entry.type,
                                  reinterpret_cast<const BYTE*>(data.data()),
                                  static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
        store->CloseKey(key);
    }
    store->Flush();
    ASSERT_EQ(store->CommitFailure(), "");
}

} // namespace hw::test
