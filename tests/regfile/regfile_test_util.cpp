#include "regfile_test_util.h"

#include "core/key_path.h"
#include "support/temp_registry.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace hw::test {

namespace {

HKEY OpenForTest(const std::string& keyPath, bool create) {
    HKEY key = 0;
    const HKEY root = core::RootKeyOfPath(keyPath);
    const std::string subKey = core::SubKeyOrEmpty(keyPath);
    const LONG result =
        create ? RegCreateKeyA(root, subKey.c_str(), &key) : RegOpenKeyA(root, subKey.c_str(), &key);
    return result == ERROR_SUCCESS ? key : 0;
}

} // namespace

void SetRawValue(const std::string& keyPath, const std::string& name, DWORD type, const std::string& bytes) {
    const HKEY key = OpenForTest(keyPath, true);
    if (key == 0) throw std::runtime_error("cannot create " + keyPath);
    const LONG result =
        RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) throw std::runtime_error("cannot write " + name);
}

std::optional<StoredValue> GetRawValue(const std::string& keyPath, const std::string& name) {
    const HKEY key = OpenForTest(keyPath, false);
    if (key == 0) return std::nullopt;
    StoredValue value;
    DWORD size = 0;
    std::optional<StoredValue> result;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size + 1);
        if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type,
                             reinterpret_cast<BYTE*>(value.bytes.data()), &size) == ERROR_SUCCESS) {
            value.bytes.resize(size);
            result = value;
        }
    }
    RegCloseKey(key);
    return result;
}

bool KeyPresent(const std::string& keyPath) {
    const HKEY key = OpenForTest(keyPath, false);
    if (key != 0) RegCloseKey(key);
    return key != 0;
}

std::string ReadWholeFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const std::string& fileName, const std::string& bytes) {
    std::ofstream(fileName, std::ios::binary) << bytes;
}

regfile::ImportResult ImportText(const std::string& text) {
    TempDir dir;
    const std::string file = dir.file("import.reg");
    WriteWholeFile(file, text);
    return regfile::ImportRegFile(file);
}

} // namespace hw::test
