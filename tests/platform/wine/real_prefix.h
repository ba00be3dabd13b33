// Real Wine prefixes for tests: one made by wineboot once per build folder (it takes half a minute), and
// cheap prefixes that copy its registry files and share its drive_c.
#pragma once

#include "support/temp_registry.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace hw::test {

// The shared prefix, made on first use; empty when Wine is not installed.
std::filesystem::path TemplatePrefix();
// A prefix of its own in dir, holding copies of the template's registry files.
std::filesystem::path CopyOfTemplate(const TempDir& dir);
// The same at prefix, a folder not made yet.
void CopyTemplateTo(const std::filesystem::path& prefix);
// Runs a shell command with WINEPREFIX set and no display, then waits for that prefix's wineserver to stop,
// so that Wine has written its registry files. Returns the command's exit status.
int RunInPrefix(const std::filesystem::path& prefix, const std::string& command);

// The path as Wine programs take it (through the Z: drive).
std::string WinePath(const std::filesystem::path& path);
std::string ReadFile(const std::filesystem::path& path);

// A registration file as "wine reg export" writes it (UTF-16), as key path -> value name -> (type, data),
// with data in the store's form (strings in UTF-8 with their NULs).
struct ExportedValue {
    unsigned type = 0;
    std::string data;
    bool operator==(const ExportedValue&) const = default;
};
using ExportedKeys = std::map<std::string, std::map<std::string, ExportedValue>>;
ExportedKeys ParseWineExport(const std::filesystem::path& file);

} // namespace hw::test
