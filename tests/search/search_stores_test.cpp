// The search against a plain key-by-key enumeration of the same tree, in each kind of store.
#include "core/value_types.h"
#include "platform/registry_store.h"
#include "platform/wine/real_prefix.h"
#include "registry_builder.h"
#include "search/search_request.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <tuple>

namespace hw::search {
namespace {

using Found = std::tuple<ResultKind, std::string, std::string, DWORD>;

ResultKind DataKindOf(DWORD type) {
    switch (core::ClassOfType(type)) {
    case core::TypeClass::Text:
        return ResultKind::StringData;
    case core::TypeClass::Number:
        return ResultKind::DwordData;
    case core::TypeClass::Bytes:
        break;
    }
    return ResultKind::BinaryData;
}

// What a search for "*" on every target reports: every value (by name, then by data) before every subkey
// (by name, then its subtree), as opening and enumerating key by key finds them.
void Enumerate(HKEY key, const std::string& path, std::vector<Found>& found) {
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxData = 0;
    ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values,
                               &maxValueName, &maxData, nullptr, nullptr),
              ERROR_SUCCESS)
        << path;
    std::vector<char> name(std::max(maxSubKey, maxValueName) + 1);
    std::vector<BYTE> data(maxData + 1);
    for (DWORD i = 0; i < values; ++i) {
        DWORD nameLength = maxValueName + 1, dataSize = maxData + 1, type = 0;
        ASSERT_EQ(RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize),
                  ERROR_SUCCESS);
        // "*" wants at least one character: the default value's name and empty texts are not reported.
        const std::string valueName(name.data(), nameLength);
        if (!valueName.empty()) found.emplace_back(ResultKind::ValueName, path, valueName, type);
        const ResultKind dataKind = DataKindOf(type);
        if (dataSize > 0 && (dataKind != ResultKind::StringData || data[0] != 0))
            found.emplace_back(dataKind, path, valueName, type);
    }
    for (DWORD i = 0; i < subKeys; ++i) {
        DWORD nameLength = maxSubKey + 1;
        ASSERT_EQ(RegEnumKeyExA(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
        const std::string subPath = path + "\\" + std::string(name.data(), nameLength);
        found.emplace_back(ResultKind::KeyName, subPath, "", 0);
        HKEY subKey = 0;
        if (RegOpenKeyExA(key, std::string(name.data(), nameLength).c_str(), 0, KEY_READ, &subKey) !=
            ERROR_SUCCESS)
            continue;
        Enumerate(subKey, subPath, found);
        RegCloseKey(subKey);
    }
}

std::vector<Found> Enumerated(HKEY root, const std::string& subKey, const std::string& path) {
    std::vector<Found> found;
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    Enumerate(key, path, found);
    RegCloseKey(key);
    return found;
}

// The first difference rather than both lists, which run to many thousands.
void ExpectSame(const std::vector<Found>& searched, const std::vector<Found>& expected) {
    const auto [at, wanted] =
        std::mismatch(searched.begin(), searched.end(), expected.begin(), expected.end());
    if (at == searched.end() && wanted == expected.end()) return;
    ADD_FAILURE() << "first difference at result " << at - searched.begin() << " of " << searched.size()
                  << " (" << expected.size() << " expected): "
                  << (at == searched.end() ? std::string("none") : std::get<1>(*at) + " " + std::get<2>(*at))
                  << " instead of "
                  << (wanted == expected.end() ? std::string("none")
                                               : std::get<1>(*wanted) + " " + std::get<2>(*wanted));
}

std::vector<Found> Searched(const std::string& startPath, std::chrono::steady_clock::duration batchTime) {
    SearchRequest request;
    request.startPath = startPath;
    request.findText = "*";
    request.mode = MatchMode::Wildcard;
    request.batchTime = batchTime;
    Search(request);
    std::vector<Found> found;
    for (const SearchResult& result : request.results())
        found.emplace_back(result.kind, result.keyPath, result.valueName, result.valueType);
    return found;
}

// Keys made out of name order, values out of name order, every kind of data, an empty one among them.
void MakeMixedTree(HKEY root, const std::string& top) {
    using test::SetValue;
    const std::vector<BYTE> text = {'t', 0};
    SetValue(root, top, "zeta", REG_SZ, text);
    SetValue(root, top, "", REG_EXPAND_SZ, text);
    SetValue(root, top, "Alpha", REG_DWORD, {7, 0, 0, 0});
    SetValue(root, top, "empty", REG_BINARY, {});
    SetValue(root, top, "multi", REG_MULTI_SZ, {'a', 0, 'b', 0, 0});
    SetValue(root, top, "q", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});
    for (const char* key : {"b", "A\\z", "A\\Y\\x", "c", "B2"})
        SetValue(root, top + "\\" + key, "v", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1});
    for (int i = 40; i > 0; --i)
        SetValue(root, top + "\\Many\\Key" + std::to_string(i), "n" + std::to_string(i % 7), REG_NONE, {1});
}

TEST(SearchStoresTest, FindsWhatKeyByKeyEnumerationFindsInEveryStore) {
    struct Case {
        const char* store;
        std::function<void(const hw::test::TempRegistry&)> make;
        HKEY root;
        const char* subKey;
        const char* path;
    };
    const Case cases[] = {
        {"database", [](const hw::test::TempRegistry&) { MakeMixedTree(HKEY_CURRENT_USER, "Mixed"); },
         HKEY_CURRENT_USER, "Mixed", "HKEY_CURRENT_USER\\Mixed"},
        {"database, whole machine",
         [](const hw::test::TempRegistry&) { MakeMixedTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Mixed"); },
         HKEY_LOCAL_MACHINE, "", "HKEY_LOCAL_MACHINE"},
        {"database, through an alias root",
         [](const hw::test::TempRegistry&) { MakeMixedTree(HKEY_CLASSES_ROOT, "Mixed"); }, HKEY_CLASSES_ROOT,
         "", "HKEY_CLASSES_ROOT"},
        {"hive file",
         [](const hw::test::TempRegistry& registry) {
             platform::UseRegistry(platform::OpenHiveStore({registry.dir().file("mixed.hive") + "=T"}));
             MakeMixedTree(HKEY_LOCAL_MACHINE, "T\\Mixed");
         },
         HKEY_LOCAL_MACHINE, "T", "HKEY_LOCAL_MACHINE\\T"},
        // Wine's own registry: thousands of keys, links (CurrentControlSet) followed where they lead.
        {"Wine prefix, whole machine",
         [](const hw::test::TempRegistry& registry) {
             platform::UseRegistry(
                 platform::OpenWineStore(hw::test::CopyOfTemplate(registry.dir()).string()));
         },
         HKEY_LOCAL_MACHINE, "", "HKEY_LOCAL_MACHINE"},
        {"Wine prefix, users",
         [](const hw::test::TempRegistry& registry) {
             platform::UseRegistry(
                 platform::OpenWineStore(hw::test::CopyOfTemplate(registry.dir()).string()));
         },
         HKEY_USERS, "", "HKEY_USERS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.store);
        if (std::string(c.store).starts_with("Wine") && hw::test::TemplatePrefix().empty()) continue;
        hw::test::TempRegistry registry;
        c.make(registry);
        const std::vector<Found> expected = Enumerated(c.root, c.subKey, c.path);
        ASSERT_GT(expected.size(), 100u);
        // In one call, and pausing after every key (each pause restarts the store's listings).
        ExpectSame(Searched(c.path, std::chrono::hours(1)), expected);
        ExpectSame(Searched(c.path, {}), expected);
    }
}

} // namespace
} // namespace hw::search
