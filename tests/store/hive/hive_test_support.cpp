#include "hive_test_support.h"

#include "store/hive/hive_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace hw::test {

std::unique_ptr<platform::RegistryStore> OpenHives(const std::vector<std::string>& hives, bool readOnly) {
    std::string error;
    auto store = platform::OpenHiveStore(hives, &error, readOnly);
    EXPECT_TRUE(store) << error;
    return store;
}

void Put(platform::RegistryStore& store, const std::string& path, const std::string& name, DWORD type,
         const std::string& data) {
    HKEY key = 0;
    ASSERT_EQ(store.CreateKey(HKEY_LOCAL_MACHINE, path.c_str(), 0, &key, nullptr), ERROR_SUCCESS) << path;
    ASSERT_EQ(store.SetValue(key, name.c_str(), type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS)
        << path << " " << name;
    store.CloseKey(key);
}

std::string ReadText(platform::RegistryStore& store, HKEY root, const std::string& path,
                     const std::string& name) {
    HKEY key = 0;
    if (store.OpenKey(root, path.c_str(), KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char data[512];
    DWORD size = sizeof data;
    const LONG result = store.QueryValue(key, name.c_str(), nullptr, reinterpret_cast<BYTE*>(data), &size);
    store.CloseKey(key);
    return result == ERROR_SUCCESS ? std::string(data, size).c_str() : "<no value>";
}

std::vector<std::string> SubKeys(platform::RegistryStore& store, HKEY root, const std::string& path) {
    std::vector<std::string> names;
    HKEY key = 0;
    if (store.OpenKey(root, path.c_str(), KEY_READ, &key) != ERROR_SUCCESS) return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (store.EnumKey(key, i, name, &length) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    store.CloseKey(key);
    return names;
}

std::string CommandOutput(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, got);
        ::pclose(pipe);
    }
    return output;
}

FileState StateOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    struct stat info {};
    ::stat(path.c_str(), &info);
    return {bytes.str(), static_cast<long long>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::vector<RawValue> RawValues(const std::string& file, const std::string& path) {
    std::vector<RawValue> values;
    hive_h* h = hivex_open(file.c_str(), 0);
    if (!h) return values;
    hive_node_h node = hivex_root(h);
    std::stringstream parts(path);
    for (std::string part; node && std::getline(parts, part, '\\');)
        node = hivex_node_get_child(h, node, part.c_str());
    hive_value_h* list = node ? hivex_node_values(h, node) : nullptr;
    for (hive_value_h* value = list; value && *value; ++value) {
        std::uint32_t type = 0;
        std::size_t length = 0;
        char* name = hivex_value_key(h, *value);
        char* data = store::hive::ReadHiveValue(h, *value, type, length);
        values.push_back({name, static_cast<int>(type), std::string(data, length)});
        std::free(name);
        std::free(data);
    }
    std::free(list);
    hivex_close(h);
    return values;
}

} // namespace hw::test
