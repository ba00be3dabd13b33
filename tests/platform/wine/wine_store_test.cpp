// The Wine store against real Wine: what Wine wrote reads the same, what we write Wine reads, and Wine's own
// changes show up in the store.
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "real_prefix.h"
#include "store/wine/wine_prefix.h"
#include "store/wine/wine_store.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <tuple>

using namespace hw;
namespace fs = std::filesystem;

namespace {

std::unique_ptr<platform::RegistryStore> Open(const fs::path& prefix, std::string* error = nullptr) {
    return platform::OpenWineStore(prefix.string(), error);
}

// Every key and value below a key, read through the registry functions, with paths as Wine exports them.
void Walk(HKEY root, const std::string& path, const std::string& shown, test::ExportedKeys& out) {
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS) << path;
    auto& values = out[shown];
    char name[16384];
    std::string data(1 << 20, '\0');
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name, size = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                          &size) != ERROR_SUCCESS)
            break;
        values[std::string(name, nameLength)] = {type, data.substr(0, size)};
    }
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(name, nameLength);
    }
    RegCloseKey(key);
    for (const std::string& child : children)
        Walk(root, path.empty() ? child : path + "\\" + child, shown + "\\" + child, out);
}

class WineStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::TemplatePrefix().empty()) GTEST_SKIP() << "Wine is not installed";
        prefix = test::CopyOfTemplate(dir);
    }
    void TearDown() override { platform::UseRegistry(nullptr); }

    void Use() {
        std::string error;
        auto store = Open(prefix, &error);
        ASSERT_TRUE(store) << error;
        platform::UseRegistry(std::move(store));
    }

    test::TempDir dir;
    fs::path prefix;
};

TEST_F(WineStoreTest, ReadsEveryKeyAndValueAsWineExportsThem) {
    ASSERT_EQ(test::RunInPrefix(prefix, "wine reg export HKCU '" + test::WinePath(dir.file("hkcu.reg")) +
                                            "' /y && wine reg export 'HKLM\\Software\\Microsoft' '" +
                                            test::WinePath(dir.file("hklm.reg")) + "' /y"),
              0);
    Use();
    for (auto [root, path, shown, file] :
         {std::tuple{HKEY_CURRENT_USER, "", "HKEY_CURRENT_USER", "hkcu.reg"},
          std::tuple{HKEY_LOCAL_MACHINE, "Software\\Microsoft", "HKEY_LOCAL_MACHINE\\Software\\Microsoft",
                     "hklm.reg"}}) {
        test::ExportedKeys ours, wines = test::ParseWineExport(dir.file(file));
        Walk(root, path, shown, ours);
        EXPECT_GT(ours.size(), 50u);
        for (const auto& [key, values] : ours)
            EXPECT_TRUE(wines.count(key) && wines[key] == values) << key;
        // Volatile keys live only in the running Wine, never in the files.
        for (const auto& [key, values] : wines) {
            bool isVolatile = false;
            for (const char* name :
                 {"Volatile Environment", "Fonts\\Cache", "Temporary System Parameters", "NetworkCards"})
                isVolatile = isVolatile || key.find(name) != std::string::npos;
            EXPECT_TRUE(ours.count(key) || isVolatile) << "missing " << key;
        }
    }
}

TEST_F(WineStoreTest, WineSeesOurChangesAndWeSeeWines) {
    const std::string text = "Gr\xc3\xbc\xc3\x9f\x65 \xe2\x82\xac \xf0\x9d\x84\x9e \"q\" \\ tab\t end";
    const std::string multi("one\0zwei \xc3\x9f\0\0", 13);
    const DWORD number = 0x12345678;
    const std::string qword("\x01\x02\x03\x04\x05\x06\x07\x08", 8), binary("\x00\x01\xff", 3);
    const std::string expand = "%SystemRoot%\\\xc3\xa4";
    // What is deleted below is in the file first.
    Use();
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\HwTest\\Gone", &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\HwTest", &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Doomed", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_SUCCESS);
    RegCloseKey(key);
    platform::UseRegistry(nullptr);

    Use();
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\HwTest\\New\\Deeper", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\HwTest", &key), ERROR_SUCCESS);
    auto set = [&](const char* name, DWORD type, const std::string& data) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    };
    set("Text \xc3\xa4", REG_SZ, text + std::string(1, '\0'));
    set("Multi", REG_MULTI_SZ, multi);
    set("Dword", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4));
    set("Qword", REG_QWORD, qword);
    set("Binary", REG_BINARY, binary);
    set("Expand", REG_EXPAND_SZ, expand + std::string(1, '\0'));
    ASSERT_EQ(RegDeleteValueA(key, "Doomed"), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\HwTest\\Gone"), ERROR_SUCCESS);
    platform::UseRegistry(nullptr); // closing writes the files

    EXPECT_EQ(test::RunInPrefix(prefix, "wine reg export 'HKCU\\Software\\HwTest' '" +
                                            test::WinePath(dir.file("ours.reg")) + "' /y"),
              0);
    test::ExportedKeys seen = test::ParseWineExport(dir.file("ours.reg"));
    const std::map<std::string, test::ExportedValue> expected = {
        {"Text \xc3\xa4", {REG_SZ, text + std::string(1, '\0')}},
        {"Multi", {REG_MULTI_SZ, multi}},
        {"Dword", {REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4)}},
        {"Qword", {REG_QWORD, qword}},
        {"Binary", {REG_BINARY, binary}},
        {"Expand", {REG_EXPAND_SZ, expand + std::string(1, '\0')}}};
    EXPECT_TRUE(seen["HKEY_CURRENT_USER\\Software\\HwTest"] == expected);
    EXPECT_TRUE(seen.count("HKEY_CURRENT_USER\\Software\\HwTest\\New\\Deeper"));
    EXPECT_FALSE(seen.count("HKEY_CURRENT_USER\\Software\\HwTest\\Gone"));

    // Wine changes the prefix while the store is open; the store sees it once Wine has written its files.
    Use();
    ASSERT_EQ(test::RunInPrefix(prefix,
                                "wine reg add 'HKCU\\Software\\HwTest' /v FromWine /d 'Wine wrote' /f && "
                                "wine reg delete 'HKCU\\Software\\HwTest' /v Binary /f"),
              0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\HwTest", 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    char data[64] = {};
    DWORD size = sizeof data, type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "FromWine", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(data, "Wine wrote");
    EXPECT_EQ(RegQueryValueExA(key, "Binary", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(WineStoreTest, RunningWineMakesTheStoreReadOnly) {
    ASSERT_EQ(std::system(("cd / && WINEPREFIX='" + prefix.string() + "' wineserver -p").c_str()), 0);
    std::string before = test::ReadFile(prefix / "user.reg");
    auto store = Open(prefix);
    ASSERT_TRUE(store);
    EXPECT_TRUE(store->ReadOnly());
    EXPECT_NE(store->Notice().find("wineserver -k"), std::string::npos) << store->Notice();
    HKEY key = 0;
    EXPECT_EQ(store->CreateKey(HKEY_CURRENT_USER, "Software\\Refused", 0, &key, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(store->OpenKey(HKEY_CURRENT_USER, "Control Panel", KEY_READ, &key), ERROR_SUCCESS);
    store.reset();
    std::system(("WINEPREFIX='" + prefix.string() + "' wineserver -k; WINEPREFIX='" + prefix.string() +
                 "' wineserver -w")
                    .c_str());
    EXPECT_TRUE(test::ReadFile(prefix / "user.reg") == before);
}

TEST_F(WineStoreTest, BadPrefixesAreRefusedNamingTheFile) {
    std::string error;
    fs::create_directories(dir.path() / "empty");
    EXPECT_FALSE(Open(dir.path() / "empty", &error));
    EXPECT_NE(error.find("system.reg"), std::string::npos) << error;

    std::string userBefore = test::ReadFile(prefix / "user.reg");
    {
        std::ofstream other(prefix / "userdef.reg");
        other << "REGEDIT4\n";
    }
    EXPECT_FALSE(Open(prefix, &error));
    EXPECT_NE(error.find("userdef.reg is not a Wine registry file"), std::string::npos) << error;
    fs::remove(prefix / "userdef.reg");
    fs::create_directory(prefix / "userdef.reg");
    EXPECT_FALSE(Open(prefix, &error));
    EXPECT_NE(error.find("userdef.reg cannot be read"), std::string::npos) << error;
    EXPECT_TRUE(test::ReadFile(prefix / "user.reg") == userBefore);

    // The Windows directory is the prefix's drive_c\windows.
    EXPECT_EQ(fs::path(store::wine::NativePathInPrefix(prefix.string(), "C:\\WINDOWS")),
              fs::canonical(prefix / "drive_c" / "windows"));
}

} // namespace
