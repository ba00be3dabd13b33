// Exporting keys with their values and subtrees as registration files.
#pragma once

#include "platform/winreg.h"
#include "regfile/reg_text_out.h"

#include <string>

namespace hw::regfile {

// What the walk hands down: the root, the open key being written and its full path.
struct TTRVRegExportData {
    HKEY root = 0;
    HKEY key = 0;
    std::string path;
};

enum class ExportResult {
    Success,
    KeyNotFound, // the key could not be opened: the file holds the header line only
    WriteFailed, // the file could not be created or written
};

// The header line for this system's platform facts.
std::string RegFileHeader();

// Append the sections of the key and of every key below it; false (nothing appended) when the key cannot
// be opened.
bool ExportKey(HKEY root, const std::string& subKey, RegLines& lines);
bool ExportKeyPath(const std::string& path, RegLines& lines);

// Write the header line and the sections to the file, replacing it.
ExportResult ExportKeyToFile(HKEY root, const std::string& subKey, const std::string& fileName,
                             const std::string& header);
ExportResult ExportKeyPathToFile(const std::string& path, const std::string& fileName,
                                 const std::string& header);
// The whole registry: HKEY_LOCAL_MACHINE, then HKEY_USERS (the other roots are views of these).
ExportResult ExportRegistryToFile(const std::string& fileName, const std::string& header);

} // namespace hw::regfile
