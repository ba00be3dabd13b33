// Helpers shared by the registration file tests: raw values, files and imports from text.
#pragma once

#include "platform/winreg.h"
#include "regfile/reg_import.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace hw::test {

struct StoredValue {
    DWORD type = 0;
    std::string bytes;
    bool operator==(const StoredValue&) const = default;
};

// Writes exactly these bytes with this type, creating the key.
void SetRawValue(const std::string& keyPath, const std::string& name, DWORD type, const std::string& bytes);
// The stored type and bytes (a value of no bytes included); nothing when the value is absent.
std::optional<StoredValue> GetRawValue(const std::string& keyPath, const std::string& name);
bool KeyPresent(const std::string& keyPath);

std::string ReadWholeFile(const std::string& fileName);
void WriteWholeFile(const std::string& fileName, const std::string& bytes);

// Sets HIVEWRIGHT_ANSI_CODEPAGE for one scope.
class CodePage {
  public:
    explicit CodePage(const char* number) { ::setenv("HIVEWRIGHT_ANSI_CODEPAGE", number, 1); }
    ~CodePage() { ::unsetenv("HIVEWRIGHT_ANSI_CODEPAGE"); }
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;
};

// Imports the text through a real file in a temp dir.
regfile::ImportResult ImportText(const std::string& text);

} // namespace hw::test
