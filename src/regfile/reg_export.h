// Exporting keys with their values and subtrees as registration files.
#pragma once

#include "platform/winreg.h"
#include "regfile/reg_text_out.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hw::regfile {

enum class ExportResult {
    Success,
    KeyNotFound, // the key could not be opened: the file holds the header line only
    WriteFailed, // the file could not be created or written
    Cancelled,   // the progress callback cancelled it; no file was left behind
    ReadFailed,  // a key or value could not be read (a damaged database); the file was left alone
};

// Called every so often with the number of keys written; returning false cancels the export.
using ExportProgress = std::function<bool(std::uint64_t keysDone)>;

struct ExportReport {
    ExportResult result = ExportResult::Success;
    // Keys ("HKEY_...\Path") and values ("HKEY_...\Path" "name") left out because their names hold a line
    // end, which the format cannot carry (shown as \r and \n), or because the ANSI code page of a REGEDIT4
    // file cannot hold their names or data. A key left out takes its subtree.
    std::vector<std::string> leftOut;
    // With ReadFailed: the key (or "key value N") that could not be read, and why.
    std::string unreadable;
};

// The header line for this system's platform facts.
std::string RegFileHeader();

// Append the sections of the key and of every key below it as UTF-8 lines, with the text payloads of a
// version 5 file or of a REGEDIT4 file; false (nothing appended) when the key cannot be opened.
bool ExportKey(HKEY root, const std::string& subKey, RegLines& lines, bool version5 = true);
bool ExportKeyPath(const std::string& path, RegLines& lines, bool version5 = true);
// The same, naming in leftOut what the file cannot carry (as ExportReport does) and in unopened the subkeys
// ("HKEY_...\Path") that could not be opened; their subtrees are left out. When the registry could not be
// read (a damaged database), unreadable says at which key and why: the lines stop there.
bool ExportKeyPath(const std::string& path, RegLines& lines, std::vector<std::string>& leftOut,
                   std::vector<std::string>& unopened, std::string& unreadable, bool version5 = true);

// Write the header line and the sections to the file, replacing it only when complete: the text goes to a
// temporary file beside it that is renamed over it at the end. A version 5 file is UTF-16LE with its
// byte-order mark; a REGEDIT4 or REGEDIT3 file is text in the ANSI code page.
ExportResult ExportKeyToFile(HKEY root, const std::string& subKey, const std::string& fileName,
                             const std::string& header);
ExportResult ExportKeyPathToFile(const std::string& path, const std::string& fileName,
                                 const std::string& header);
// The whole registry: HKEY_LOCAL_MACHINE, then HKEY_USERS (the other roots are views of these).
ExportResult ExportRegistryToFile(const std::string& fileName, const std::string& header);

ExportReport ExportKeyPathToFileReported(const std::string& path, const std::string& fileName,
                                         const std::string& header, const ExportProgress& progress = {});
ExportReport ExportRegistryToFileReported(const std::string& fileName, const std::string& header,
                                          const ExportProgress& progress = {});

} // namespace hw::regfile
