#include "registry_builder.h"

#include <gtest/gtest.h>

namespace hw::search::test {

namespace {

HKEY CreateForWrite(HKEY root, const std::string& subKey) {
    HKEY key = 0;
    EXPECT_EQ(RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << subKey;
    return key;
}

} // namespace

void MakeKey(HKEY root, const std::string& subKey) {
    RegCloseKey(CreateForWrite(root, subKey));
}

void SetValue(HKEY root, const std::string& subKey, const std::string& name, DWORD type,
              const std::vector<BYTE>& data) {
    const HKEY key = CreateForWrite(root, subKey);
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void SetString(HKEY root, const std::string& subKey, const std::string& name, const std::string& text,
               DWORD type) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    SetValue(root, subKey, name, type, data);
}

void SetDword(HKEY root, const std::string& subKey, const std::string& name, DWORD number) {
    SetValue(root, subKey, name, REG_DWORD,
             {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8), static_cast<BYTE>(number >> 16),
              static_cast<BYTE>(number >> 24)});
}

std::vector<BYTE> ValueData(HKEY root, const std::string& subKey, const std::string& name) {
    HKEY key = 0;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
    DWORD size = 0;
    std::vector<BYTE> data;
    if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        data.resize(size);
        if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS)
            data.clear();
    }
    RegCloseKey(key);
    return data;
}

} // namespace hw::search::test
