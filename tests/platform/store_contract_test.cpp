// The behaviour every registry store must show through the registry functions. Each back-end adds itself to
// the instantiation at the bottom; a Wine prefix runs twice, as our code seeds it and as Wine makes it.
#include "platform/registry_store.h"
#include "platform/user_identity.h"
#include "platform/wine/real_prefix.h"
#include "platform/winreg.h"
#include "store/wine/wine_store.h"
#include "support/temp_registry.h"
#include "support/windows_installation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using namespace hw;

namespace {

struct StoreFactory {
    std::string name;
    std::function<std::unique_ptr<platform::RegistryStore>(const std::string& path, bool readOnly)> open;
    bool singleWriter = false;  // a second writer gets a read-only store
    bool userClassesKey = true; // HKEY_USERS lists <sid>_Classes
    bool seeded = true;         // holds the skeleton our code writes (not what Wine writes)
    std::string readOnlyReason; // the failure reason of a change to a read-only store
    std::string userSid;        // the user's key under HKEY_USERS; empty: the current user's
};

void PrintTo(const StoreFactory& factory, std::ostream* out) {
    *out << factory.name;
}

class StoreContract : public ::testing::TestWithParam<StoreFactory> {
  protected:
    void SetUp() override {
        if (!GetParam().seeded && test::TemplatePrefix().empty()) GTEST_SKIP() << "Wine is not installed";
        setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
        Reopen();
    }
    void TearDown() override { platform::UseRegistry(nullptr); }

    void Reopen(bool readOnly = false) {
        platform::UseRegistry(nullptr);
        auto store = GetParam().open(dir.file("registry.db"), readOnly);
        ASSERT_TRUE(store);
        platform::UseRegistry(std::move(store));
    }

    HKEY Create(HKEY root, const std::string& path) {
        HKEY key = 0;
        EXPECT_EQ(RegCreateKeyA(root, path.c_str(), &key), ERROR_SUCCESS) << path;
        return key;
    }

    static void SetText(HKEY key, const std::string& name, const std::string& text, DWORD type = REG_SZ) {
        ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)),
                  ERROR_SUCCESS);
    }

    static std::string ReadText(HKEY root, const std::string& path, const std::string& name) {
        HKEY key = 0;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "<no key>";
        DWORD type = 0, size = 0;
        std::string result = "<no value>";
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            std::string data(size, '\0');
            RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
            result = data.substr(0, data.find('\0'));
        }
        RegCloseKey(key);
        return result;
    }

    static std::vector<std::string> SubKeys(HKEY root, const std::string& path) {
        HKEY key = 0;
        std::vector<std::string> names;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.emplace_back(name, length);
        }
        RegCloseKey(key);
        return names;
    }

    static std::vector<std::string> ValueNames(HKEY key) {
        std::vector<std::string> names;
        char name[512];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name;
            if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.emplace_back(name, length);
        }
        return names;
    }

    static std::string UserSid() {
        return GetParam().userSid.empty() ? platform::CurrentUserIdentity().sid : GetParam().userSid;
    }

    test::TempDir dir;
};

TEST_P(StoreContract, CreatesOpensAndClosesKeysByPath) {
    HKEY key = 0;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Test\\Deep\\Er", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\TEST\\deep\\er", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    RegCloseKey(key);

    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Test\\Missing", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(0x7FFFFFFF, "Software", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
    // An empty path gives a new handle to the parent itself.
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_NE(key, HKEY_CURRENT_USER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

TEST_P(StoreContract, NamesIgnoreCaseKeepTheirSpellingAndRespectLimits) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\MixedCase");
    SetText(key, "Value", "one");
    SetText(key, "VALUE", "two"); // replaces, keeps the first spelling
    SetText(key, "", "default");
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"Value", ""}));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, "SOFTWARE\\mixedcase", "value"), "two");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, "Software\\MixedCase", ""), "default");
    EXPECT_THAT(SubKeys(HKEY_CURRENT_USER, "software"), ::testing::Contains("MixedCase"));
    if (GetParam().seeded) {
        EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, "software"),
                  (std::vector<std::string>{"Classes", "Microsoft", "MixedCase"}));
    }

    HKEY ignored = 0;
    EXPECT_EQ(RegCreateKeyA(key, std::string(256, 'k').c_str(), &ignored), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyA(key, std::string(255, 'k').c_str(), &ignored), ERROR_SUCCESS);
    RegCloseKey(ignored);
    BYTE byte = 1;
    EXPECT_EQ(RegSetValueExA(key, std::string(16384, 'v').c_str(), 0, REG_BINARY, &byte, 1),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, std::string(16383, 'v').c_str(), 0, REG_BINARY, &byte, 1), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_P(StoreContract, SubkeysEnumerateAlphabeticallyAndValuesInCreationOrder) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Order");
    for (const char* name : {"delta", "Alpha", "charlie", "Bravo"})
        RegCloseKey(Create(key, name));
    for (const char* name : {"z", "a", "m"})
        SetText(key, name, name);
    SetText(key, "a", "again"); // a replaced value keeps its place
    EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, "Software\\Order"),
              (std::vector<std::string>{"Alpha", "Bravo", "charlie", "delta"}));
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"z", "a", "m"}));
    RegCloseKey(key);
}

// A batch of values (as an import writes a section's values) ends as the same values written one by one:
// names that repeat in any letter case or were there before replace in their turn and keep their place,
// large and small data replace each other, and a batch longer than a store writes at once is no different.
TEST_P(StoreContract, ValuesWrittenTogetherEndAsWrittenOneByOne) {
    struct Value {
        std::string name;
        DWORD type;
        std::string data;
        bool operator==(const Value&) const = default;
    };
    const auto values = [](HKEY key) {
        std::vector<Value> found;
        char name[512];
        std::string data(8192, '\0');
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name, type = 0, size = static_cast<DWORD>(data.size());
            if (RegEnumValueA(key, i, name, &length, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                              &size) != ERROR_SUCCESS)
                break;
            found.push_back({std::string(name, length), type, data.substr(0, size)});
        }
        return found;
    };
    const std::string large(3000, 'L');
    std::vector<Value> batch;
    for (int i = 0; i < 20; ++i)
        batch.push_back(
            {"v" + std::to_string(i % 13), REG_BINARY, std::string(static_cast<std::size_t>(i), 'd')});
    batch.push_back({"V3", REG_SZ, std::string("upper\0", 6)});
    batch.push_back({"before", REG_DWORD, std::string("\1\0\0\0", 4)});
    batch.push_back({"LARGE", REG_BINARY, "small now"});
    batch.push_back({"", REG_SZ, std::string("default\0", 8)});
    const std::vector<std::vector<Value>> batches = {
        batch,
        {batch.begin(), batch.begin() + 5},
        {{"a", REG_SZ, "1"}, {"A", REG_SZ, "2"}, {"b", REG_BINARY, large}, {"B", REG_BINARY, "3"}},
        {{"c", REG_BINARY, large}, {"c", REG_BINARY, large + "x"}, {"d", REG_SZ, ""}},
    };
    for (std::size_t n = 0; n < batches.size(); ++n) {
        const std::string path = "Software\\Batches\\" + std::to_string(n);
        HKEY together = Create(HKEY_CURRENT_USER, path + "\\Together");
        HKEY oneByOne = Create(HKEY_CURRENT_USER, path + "\\OneByOne");
        for (HKEY key : {together, oneByOne}) {
            SetText(key, "before", "there");
            ASSERT_EQ(RegSetValueExA(key, "large", 0, REG_BINARY, reinterpret_cast<const BYTE*>(large.data()),
                                     static_cast<DWORD>(large.size())),
                      ERROR_SUCCESS);
        }
        std::vector<platform::ValueWrite> writes;
        for (const Value& value : batches[n]) {
            writes.push_back({value.name, value.type, value.data, ERROR_MORE_DATA});
            ASSERT_EQ(RegSetValueExA(oneByOne, value.name.c_str(), 0, value.type,
                                     reinterpret_cast<const BYTE*>(value.data.data()),
                                     static_cast<DWORD>(value.data.size())),
                      ERROR_SUCCESS);
        }
        platform::CurrentRegistry().SetValues(together, writes);
        for (const platform::ValueWrite& write : writes)
            EXPECT_EQ(write.result, ERROR_SUCCESS) << n << " " << write.name;
        EXPECT_EQ(values(together), values(oneByOne)) << n;
        RegCloseKey(together);
        RegCloseKey(oneByOne);
    }
    Reopen();
    for (std::size_t n = 0; n < batches.size(); ++n) {
        const std::string path = "Software\\Batches\\" + std::to_string(n);
        HKEY together = Create(HKEY_CURRENT_USER, path + "\\Together");
        HKEY oneByOne = Create(HKEY_CURRENT_USER, path + "\\OneByOne");
        EXPECT_EQ(values(together), values(oneByOne)) << n;
        EXPECT_FALSE(values(together).empty());
        RegCloseKey(together);
        RegCloseKey(oneByOne);
    }
    // A name too long fails alone.
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Batches\\Long");
    std::vector<platform::ValueWrite> writes = {{"ok1", REG_SZ, "1"},
                                                {std::string(MAX_VALUE_NAME_LENGTH + 1, 'n'), REG_SZ, "2"},
                                                {"ok2", REG_SZ, "3"}};
    platform::CurrentRegistry().SetValues(key, writes);
    EXPECT_EQ(writes[0].result, ERROR_SUCCESS);
    EXPECT_EQ(writes[1].result, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(writes[2].result, ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"ok1", "ok2"}));
    RegCloseKey(key);
}

TEST_P(StoreContract, BuffersFollowTheSizeProtocol) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Buffers");
    RegCloseKey(Create(key, "Child"));
    SetText(key, "Name", "twelve chars");

    char name[8];
    DWORD length = 5; // "Child" needs room for its NUL
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    length = 6;
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(length, 5u);
    EXPECT_STREQ(name, "Child");
    length = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumKeyA(key, 0, name, sizeof name), ERROR_SUCCESS);

    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(key, "name", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, 13u);
    BYTE small[4];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "name", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 13u);
    EXPECT_EQ(RegQueryValueExA(key, "absent", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);

    char valueName[8];
    DWORD valueNameLength = sizeof valueName;
    BYTE data[32];
    DWORD dataSize = sizeof data;
    EXPECT_EQ(RegEnumValueA(key, 0, valueName, &valueNameLength, nullptr, &type, data, &dataSize),
              ERROR_SUCCESS);
    EXPECT_EQ(dataSize, 13u);
    valueNameLength = sizeof valueName;
    EXPECT_EQ(RegEnumValueA(key, 1, valueName, &valueNameLength, nullptr, &type, data, &dataSize),
              ERROR_NO_MORE_ITEMS);

    // Zero-length data is a value of its own.
    EXPECT_EQ(RegSetValueExA(key, "empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    size = 99;
    EXPECT_EQ(RegQueryValueExA(key, "empty", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 0u);
    RegCloseKey(key);
}

TEST_P(StoreContract, KeyInformationFollowsChangesThroughTheSameHandle) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Info");
    DWORD subKeys = 9, longestKey = 9, values = 9, longestName = 9, largest = 9;
    auto query = [&] {
        ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &longestKey, nullptr, &values,
                                   &longestName, &largest, nullptr, nullptr),
                  ERROR_SUCCESS);
    };
    query();
    EXPECT_EQ(subKeys + longestKey + values + longestName + largest, 0u);
    RegCloseKey(Create(key, "abc"));
    RegCloseKey(Create(key, "Longer name"));
    SetText(key, "v", "0123456789");
    SetText(key, "longest value", "x");
    query();
    EXPECT_EQ(subKeys, 2u);
    EXPECT_EQ(longestKey, 11u);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(longestName, 13u);
    EXPECT_EQ(largest, 11u);
    ASSERT_EQ(RegDeleteKeyA(key, "abc"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(key, "v"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "v"), ERROR_FILE_NOT_FOUND);
    query();
    EXPECT_EQ(subKeys, 1u);
    EXPECT_EQ(values, 1u);
    EXPECT_EQ(largest, 2u);
    RegCloseKey(key);
}

TEST_P(StoreContract, DeletingKeys) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Doomed\\Child");
    SetText(key, "x", "y");
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Doomed"), ERROR_ACCESS_DENIED); // has a subkey
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Doomed\\Child"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Doomed\\Child"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_INVALID_PARAMETER);
    EXPECT_NE(RegSetValueExA(key, "x", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS); // the handle's key is gone
    RegCloseKey(key);
    // A re-created key starts empty.
    key = Create(HKEY_CURRENT_USER, "Software\\Doomed\\Child");
    EXPECT_TRUE(ValueNames(key).empty());
    RegCloseKey(key);
}

TEST_P(StoreContract, TheKeysBehindAliasRootsStay) {
    // Empty HKEY_CLASSES_ROOT, then try to remove the key it stands for.
    std::function<void(HKEY, const std::string&)> removeTree = [&](HKEY parent, const std::string& name) {
        for (const std::string& child : SubKeys(parent, name))
            removeTree(parent, name + "\\" + child);
        RegDeleteKeyA(parent, name.c_str());
    };
    for (const std::string& child : SubKeys(HKEY_CLASSES_ROOT, ""))
        removeTree(HKEY_CLASSES_ROOT, child);
    EXPECT_TRUE(SubKeys(HKEY_CLASSES_ROOT, "").empty());
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes"), ERROR_ACCESS_DENIED);
    HKEY key = 0;
    EXPECT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, ".again", &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_P(StoreContract, AccessRightsAreEnforced) {
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SAM", 0, KEY_READ, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SECURITY", &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE", 0, KEY_WRITE, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE", 0, KEY_ALL_ACCESS, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "HARDWARE\\New", &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "HARDWARE"), ERROR_ACCESS_DENIED);
    if (GetParam().seeded) {
        EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System"), ERROR_ACCESS_DENIED);
    }

    // The widest rights of a read-only key are reading rights.
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "HARDWARE", &key), ERROR_SUCCESS);
    BYTE byte = 0;
    EXPECT_EQ(RegSetValueExA(key, "x", 0, REG_BINARY, &byte, 1), ERROR_ACCESS_DENIED);
    if (GetParam().seeded) {
        EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, "HARDWARE"), (std::vector<std::string>{"DESCRIPTION"}));
    }
    RegCloseKey(key);

    // A handle grants what it was opened with, no more.
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Rights"));
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Rights", 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    char name[16];
    DWORD length = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueExA(key, "x", 0, REG_BINARY, &byte, 1), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Rights", 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "x", 0, REG_BINARY, &byte, 1), ERROR_SUCCESS);
    EXPECT_EQ(RegCreateKeyA(key, "Sub", &length), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
}

// Wine keeps HARDWARE in memory and makes no SAM or SECURITY, so its files lack them; they are as closed
// there.
TEST_P(StoreContract, ProtectedKeysTakeNoSubkeysAndStayProtected) {
    HKEY key = 0;
    for (const char* path : {"HARDWARE\\X", "SAM\\X", "security\\X", "Hardware\\X\\Y"}) {
        EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, path, &key), ERROR_ACCESS_DENIED) << path;
        EXPECT_EQ(platform::RegistryFailureReason(), "access denied") << path;
    }
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SAM", &key), ERROR_ACCESS_DENIED);
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "HARDWARE", &key), ERROR_SUCCESS); // opened for reading
    EXPECT_EQ(RegCreateKeyA(key, "X", &key), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_THAT(SubKeys(HKEY_LOCAL_MACHINE, ""), ::testing::IsSupersetOf({"HARDWARE", "SAM", "SECURITY"}));
    Reopen();
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\X", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SAM", 0, KEY_READ, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SECURITY\\X", &key), ERROR_ACCESS_DENIED);
}

TEST_P(StoreContract, FailuresOfProtectionAndLimitsGiveTheirReason) {
    HKEY key = 0;
    BYTE byte = 0;
    std::string tooDeep;
    for (DWORD level = 0; level < MAX_KEY_DEPTH; ++level)
        tooDeep += "d\\";
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Reasons"));
    struct Case {
        const char* what;
        std::function<LONG()> call;
        LONG code;
        std::string reason;
    };
    const std::string denied = "access denied";
    const std::vector<Case> cases = {
        {"open SAM", [&] { return RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SAM", 0, KEY_READ, &key); },
         ERROR_ACCESS_DENIED, denied},
        {"write HARDWARE", [&] { return RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE", 0, KEY_WRITE, &key); },
         ERROR_ACCESS_DENIED, denied},
        {"delete HARDWARE", [&] { return RegDeleteKeyA(HKEY_LOCAL_MACHINE, "HARDWARE"); },
         ERROR_ACCESS_DENIED, denied},
        {"delete classes", [&] { return RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes"); },
         ERROR_ACCESS_DENIED, denied},
        {"too deep", [&] { return RegCreateKeyA(HKEY_CURRENT_USER, tooDeep.c_str(), &key); },
         ERROR_INVALID_PARAMETER, "a key may be at most 512 levels deep"},
        // The request's own faults have no reason beyond their code, nor has a call after a failure.
        {"missing key", [&] { return RegOpenKeyExA(HKEY_CURRENT_USER, "Missing", 0, KEY_READ, &key); },
         ERROR_FILE_NOT_FOUND, ""},
        {"handle's mask",
         [&] {
             RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Reasons", 0, KEY_QUERY_VALUE, &key);
             LONG result = RegSetValueExA(key, "x", 0, REG_BINARY, &byte, 1);
             RegCloseKey(key);
             return result;
         },
         ERROR_ACCESS_DENIED, ""},
        {"read-only: write", [&] { return RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE, &key); },
         ERROR_ACCESS_DENIED, GetParam().readOnlyReason},
        {"read-only: create", [&] { return RegCreateKeyA(HKEY_CURRENT_USER, "Software\\New", &key); },
         ERROR_ACCESS_DENIED, GetParam().readOnlyReason},
        {"read-only: value", [&] { return RegSetValueExA(HKEY_CURRENT_USER, "x", 0, REG_BINARY, &byte, 1); },
         ERROR_ACCESS_DENIED, GetParam().readOnlyReason},
        {"read-only: missing key",
         [&] { return RegOpenKeyExA(HKEY_CURRENT_USER, "Missing", 0, KEY_READ, &key); }, ERROR_FILE_NOT_FOUND,
         ""},
        {"read-only: SAM", [&] { return RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SAM", 0, KEY_READ, &key); },
         ERROR_ACCESS_DENIED, denied},
    };
    for (const Case& c : cases) {
        if (std::string_view(c.what).starts_with("read-only") && !platform::RegistryIsReadOnly())
            Reopen(true);
        EXPECT_EQ(c.call(), c.code) << c.what;
        EXPECT_EQ(platform::RegistryFailureReason(), c.reason) << c.what;
    }
}

TEST_P(StoreContract, AliasRootsAreViewsOfTheirKeys) {
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\ViaAlias"));
    EXPECT_THAT(SubKeys(HKEY_USERS, UserSid() + "\\Software"), ::testing::Contains("ViaAlias"));
    RegCloseKey(Create(HKEY_CLASSES_ROOT, ".alias"));
    EXPECT_NE(ReadText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.alias", "x"), "<no key>");
    HKEY key = Create(HKEY_CURRENT_CONFIG, "Probe");
    RegCloseKey(key);
    EXPECT_THAT(SubKeys(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current"),
                ::testing::Contains("Probe"));
    EXPECT_TRUE(SubKeys(HKEY_PERFORMANCE_DATA, "").empty());
    EXPECT_TRUE(SubKeys(HKEY_DYN_DATA, "").empty());
    if (!GetParam().seeded) return;
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, ".reg", ""), "regfile");
    EXPECT_NE(ReadText(HKEY_CLASSES_ROOT, "regfile\\shell\\open\\command", ""), "<no value>");
    EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001\\Hardware Profiles\\0001"),
              (std::vector<std::string>{"Probe", "System"}));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer",
                       "Logon User Name"),
              platform::CurrentUserIdentity().loginName);
}

TEST_P(StoreContract, LinksAreListedOpenedThroughAndDeletedAlone) {
    if (!GetParam().seeded) GTEST_SKIP() << "the links of the skeleton";
    EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, "SYSTEM"),
              (std::vector<std::string>{"ControlSet001", "CurrentControlSet", "Select"}));
    RegCloseKey(Create(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Probe"));
    EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001\\Services"),
              (std::vector<std::string>{"Probe"}));
    EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001\\Hardware Profiles"),
              (std::vector<std::string>{"0001", "Current"}));
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet"), ERROR_SUCCESS);
    EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, "SYSTEM"), (std::vector<std::string>{"ControlSet001", "Select"}));
    EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001\\Services"),
              (std::vector<std::string>{"Probe"}));
}

// Records a subtree walk as lines; pausing after every key makes each key resume the walk.
class SubtreeRecorder final : public platform::SubtreeVisitor {
  public:
    explicit SubtreeRecorder(bool pauseEachKey) : pauseEachKey_(pauseEachKey) {}
    std::vector<std::string> lines;
    bool Key(std::string_view name, DWORD depth) override {
        lines.push_back("key " + std::to_string(depth) + " " + std::string(name));
        return true;
    }
    void Unopened(std::string_view name, DWORD depth) override {
        lines.push_back("unopened " + std::to_string(depth) + " " + std::string(name));
    }
    void Value(std::string_view name, DWORD type, std::string_view data) override {
        lines.push_back("value " + std::string(name) + " " + std::to_string(type) + " " + std::string(data));
    }
    bool Pause() override { return pauseEachKey_; }

  private:
    bool pauseEachKey_;
};

// The same lines from the registry functions one key at a time.
void Enumerate(HKEY parent, const std::string& name, DWORD depth, std::vector<std::string>& lines) {
    HKEY key = 0;
    if (RegOpenKeyA(parent, name.c_str(), &key) != ERROR_SUCCESS) {
        lines.push_back("unopened " + std::to_string(depth) + " " + name);
        return;
    }
    lines.push_back("key " + std::to_string(depth) + " " + (depth ? name : ""));
    DWORD longestName = 0, largest = 0;
    ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               &longestName, &largest, nullptr, nullptr),
              ERROR_SUCCESS);
    std::string valueName(longestName + 1, '\0'), data(largest + 1, '\0');
    DWORD type = 0;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(valueName.size()), size = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key, index, valueName.data(), &nameLength, nullptr, &type,
                          reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
            break;
        lines.push_back("value " + valueName.substr(0, nameLength) + " " + std::to_string(type) + " " +
                        data.substr(0, size));
    }
    char subKey[256];
    for (DWORD index = 0; RegEnumKeyA(key, index, subKey, sizeof subKey) == ERROR_SUCCESS; ++index)
        Enumerate(key, subKey, depth + 1, lines);
    RegCloseKey(key);
}

TEST_P(StoreContract, SubtreeStreamsHandOverWhatTheRegistryFunctionsEnumerate) {
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Streamed");
    for (const char* name : {"zeta\\Inner", "Alpha", "beta\\b\\c", "Gamma"})
        RegCloseKey(Create(key, name));
    // More keys and value bytes than a walk reads ahead at once, made against name order.
    for (int i = 5000; i > 0; --i) {
        HKEY wide = Create(key, "wide\\k" + std::to_string(i % 7) + "\\" + std::to_string(i));
        SetText(wide, "v", std::string(300, static_cast<char>('a' + i % 26)));
        RegCloseKey(wide);
    }
    // Keys made in name order with many values each are read ahead another way.
    for (int i = 0; i < 300; ++i) {
        HKEY many = Create(key, "many\\k" + std::to_string(1000 + i));
        for (int v = 0; v < 30; ++v)
            SetText(many, "v" + std::to_string(v), std::string(200, static_cast<char>('a' + v % 26)));
        RegCloseKey(many);
    }
    SetText(key, "z", "last");
    SetText(key, "A", "first");
    SetText(key, "", "default");
    const std::string large(20000, '\x01');
    ASSERT_EQ(RegSetValueExA(key, "large", 0, REG_BINARY, reinterpret_cast<const BYTE*>(large.data()),
                             static_cast<DWORD>(large.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
    // Its "many" alone is read ahead the other way from the start; the whole machine root takes in protected
    // keys and, where seeded, links.
    for (const char* path : {"SOFTWARE\\Streamed", "SOFTWARE\\Streamed\\many", ""}) {
        std::vector<std::string> expected;
        Enumerate(HKEY_LOCAL_MACHINE, path, 0, expected);
        for (bool pauseEachKey : {false, true}) {
            std::unique_ptr<platform::SubtreeStream> stream;
            ASSERT_EQ(platform::CurrentRegistry().OpenSubtree(HKEY_LOCAL_MACHINE, path, stream),
                      ERROR_SUCCESS);
            SubtreeRecorder recorder(pauseEachKey);
            LONG walked = ERROR_SUCCESS;
            while (walked == ERROR_SUCCESS)
                walked = stream->Next(recorder);
            EXPECT_EQ(walked, ERROR_NO_MORE_ITEMS);
            EXPECT_EQ(recorder.lines, expected) << path << (pauseEachKey ? ", pausing" : "");
        }
    }
}

// A walk reads ahead; what changes between two of its calls must still come out as it stands then.
TEST_P(StoreContract, SubtreeStreamsFollowChangesMadeBetweenCalls) {
    HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Changing");
    // Made out of name order, so the walk's order is not the order the keys were made in.
    for (const char* name : {"c\\sub", "a\\sub", "b\\sub\\deep", "d"}) {
        HKEY made = Create(key, name);
        SetText(made, "v", name);
        RegCloseKey(made);
    }
    std::unique_ptr<platform::SubtreeStream> stream;
    ASSERT_EQ(platform::CurrentRegistry().OpenSubtree(key, "", stream), ERROR_SUCCESS);
    SubtreeRecorder recorder(true);
    ASSERT_EQ(stream->Next(recorder), ERROR_SUCCESS);
    ASSERT_EQ(recorder.lines.back(), "key 1 a");
    ASSERT_EQ(RegDeleteKeyA(key, "b\\sub\\deep"), ERROR_SUCCESS);
    RegCloseKey(Create(key, "c\\added"));
    HKEY c = Create(key, "c");
    SetText(c, "v", "changed");
    SetText(c, "w", "new");
    RegCloseKey(c);
    ASSERT_EQ(RegDeleteKeyA(key, "d"), ERROR_SUCCESS);
    RegCloseKey(key);
    LONG walked = ERROR_SUCCESS;
    while (walked == ERROR_SUCCESS)
        walked = stream->Next(recorder);
    EXPECT_EQ(walked, ERROR_NO_MORE_ITEMS);
    std::vector<std::string> expected;
    Enumerate(HKEY_LOCAL_MACHINE, "SOFTWARE\\Changing", 0, expected);
    EXPECT_EQ(recorder.lines, expected);
}

TEST_P(StoreContract, SkeletonNamesTheWindowsDirectory) {
    if (!GetParam().seeded) GTEST_SKIP() << "the skeleton's content";
    std::string root =
        ReadText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot");
    EXPECT_EQ(root, dir.file("config") + "/hivewright");
    EXPECT_TRUE(std::filesystem::is_directory(root));
    std::string sid = platform::CurrentUserIdentity().sid;
    auto users = SubKeys(HKEY_USERS, "");
    if (GetParam().userClassesKey)
        EXPECT_EQ(users, (std::vector<std::string>{".DEFAULT", sid, sid + "_Classes"}));
    else
        EXPECT_EQ(users, (std::vector<std::string>{".Default", sid}));
    for (const char* key : {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "SYSTEM\\Select"})
        EXPECT_NE(ReadText(HKEY_LOCAL_MACHINE, key, "x"), "<no key>") << key;
}

TEST_P(StoreContract, ChangesPersistAndOtherConnectionsSeeThem) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\Persist");
    SetText(key, "kept", "yes");
    RegCloseKey(key);
    Reopen();
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, "Software\\Persist", "kept"), "yes");

    auto other = GetParam().open(dir.file("registry.db"), false);
    HKEY otherKey = 0;
    if (GetParam().singleWriter) {
        // The second writer only reads, says why, and sees what the first one saves.
        EXPECT_TRUE(other->ReadOnly());
        EXPECT_NE(other->Notice(), "");
        EXPECT_EQ(other->CreateKey(HKEY_CURRENT_USER, "Software\\Persist\\FromOther", 0, &otherKey, nullptr),
                  ERROR_ACCESS_DENIED);
        RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Persist\\FromFirst"));
        platform::FlushRegistry();
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        ASSERT_EQ(other->OpenKey(HKEY_CURRENT_USER, "Software\\Persist\\FromFirst", KEY_READ, &otherKey),
                  ERROR_SUCCESS);
        other->CloseKey(otherKey);
        return;
    }
    // A second connection (as another process would have) sees committed writes, and this one sees its
    // changes.
    ASSERT_EQ(other->CreateKey(HKEY_CURRENT_USER, "Software\\Persist\\FromOther", 0, &otherKey, nullptr),
              ERROR_SUCCESS);
    const char text[] = "hello";
    ASSERT_EQ(other->SetValue(otherKey, "greeting", REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
              ERROR_SUCCESS);
    other->CloseKey(otherKey);
    other->Flush();
    platform::FlushRegistry(); // ends this connection's read group, as idle time does
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, "Software\\Persist\\FromOther", "greeting"), "hello");
    EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, "Software\\Persist"), (std::vector<std::string>{"FromOther"}));
}

TEST_P(StoreContract, ReadOnlyDatabaseReadsButRefusesChanges) {
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Before"));
    Reopen(true);
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Before", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Before", 0, KEY_WRITE, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\After", &key), ERROR_ACCESS_DENIED);
    BYTE byte = 0;
    EXPECT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "x", 0, REG_BINARY, &byte, 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Before"), ERROR_ACCESS_DENIED);

    // A writer elsewhere still shows up once this reader's group has ended by itself.
    auto writer = GetParam().open(dir.file("registry.db"), false);
    HKEY written = 0;
    ASSERT_EQ(writer->CreateKey(HKEY_CURRENT_USER, "Software\\Later", 0, &written, nullptr), ERROR_SUCCESS);
    writer->CloseKey(written);
    writer->Flush();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_THAT(SubKeys(HKEY_CURRENT_USER, "Software"), ::testing::IsSupersetOf({"Before", "Later"}));
    if (GetParam().seeded) {
        EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, "Software"),
                  (std::vector<std::string>{"Before", "Classes", "Later", "Microsoft"}));
    }
    // And while this reader never stops asking.
    ASSERT_EQ(writer->CreateKey(HKEY_CURRENT_USER, "Software\\Busy", 0, &written, nullptr), ERROR_SUCCESS);
    writer->CloseKey(written);
    writer->Flush();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Busy", 0, KEY_READ, &key) != ERROR_SUCCESS)
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "a busy reader never saw the change";
    RegCloseKey(key);
}

std::unique_ptr<platform::RegistryStore> OpenWinePrefix(const std::string& path, bool readOnly) {
    // A prefix holding the same skeleton as a new database, made without Wine.
    if (!std::filesystem::exists(path)) store::wine::WineStore::WriteSkeletonPrefix(path);
    std::string error;
    auto store = platform::OpenWineStore(path, &error, readOnly);
    EXPECT_TRUE(store) << error;
    return store;
}

std::unique_ptr<platform::RegistryStore> OpenPrefixWineMade(const std::string& path, bool readOnly) {
    if (!std::filesystem::exists(path)) test::CopyTemplateTo(path);
    std::string error;
    auto store = platform::OpenWineStore(path, &error, readOnly);
    EXPECT_TRUE(store) << error;
    return store;
}

std::unique_ptr<platform::RegistryStore> OpenWindowsHives(const std::string& path, bool readOnly) {
    // A Windows installation laid out from hives our store makes.
    if (!std::filesystem::exists(path)) test::LayOutWindowsInstallation(path);
    std::string error;
    auto store = platform::OpenWindowsInstallation(path, "", &error, readOnly);
    EXPECT_TRUE(store) << error;
    return store;
}

std::unique_ptr<platform::RegistryStore> OpenSqlite(const std::string& path, bool readOnly) {
    return platform::OpenSqliteStore(path, nullptr, readOnly);
}

const char* const kDatabaseReadOnly = "the registry database is read-only";
const char* const kPrefixReadOnly = "the Wine prefix is open read-only";
const char* const kHiveReadOnly = "the hive is open read-only";

INSTANTIATE_TEST_SUITE_P(
    Stores, StoreContract,
    ::testing::Values(StoreFactory{"Sqlite", OpenSqlite, false, true, true, kDatabaseReadOnly, ""},
                      StoreFactory{"Wine", OpenWinePrefix, true, false, true, kPrefixReadOnly, ""},
                      StoreFactory{"WineMade", OpenPrefixWineMade, true, false, false, kPrefixReadOnly,
                                   "S-1-5-21-0-0-0-1000"},
                      StoreFactory{"WindowsHives", OpenWindowsHives, true, true, false, kHiveReadOnly,
                                   test::kWindowsUserSid}),
    [](const auto& info) { return info.param.name; });

} // namespace
