// Importing registration files into the registry.
#pragma once

#include "regfile/reg_encoding.h"
#include <cstddef>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hw::regfile {

enum class ImportResult {
    Success = 0,       // every recognised section and value was written
    UnknownHeader = 1, // empty, or not one of the three headers; nothing was written
    Incomplete = 2,    // something could not be read, created, converted or written; the rest was written
    FileNotFound = 3,  // file import only
};

// A line that could not be imported. line is 1-based, the header being line 1.
struct ImportFailure {
    std::size_t line = 0;
    std::string section; // the full path of its section; empty before the first one
    std::string reason;
};

// Called every so often with the bytes read and the input's size; returning false stops the import before
// its next section.
using ImportProgress = std::function<bool(std::uint64_t bytesDone, std::uint64_t bytesTotal)>;

struct ImportReport {
    ImportResult result = ImportResult::Success;
    std::vector<ImportFailure> failures; // in file order
    bool stopped = false;                // the progress callback stopped it
};

ImportReport ImportRegFileReported(const std::string& fileName, const ImportProgress& progress = {});
// lines[0] is the header; the lines are UTF-8 text, from a file of the given encoding (which decides how
// the payloads of hex(1), hex(2) and hex(7) values are read).
ImportReport ImportRegLinesReported(const std::vector<std::string>& lines,
                                    RegEncoding encoding = RegEncoding::Utf8);
// One line per failure for the first ten ("line 12 [HKEY_...\Key]: reason"), then "... and N more".
std::vector<std::string> DescribeImportFailures(const ImportReport& report);

// lines[0] is the header.
ImportResult ImportRegLines(const std::vector<std::string>& lines);
// Streams the file, read as UTF-16LE, UTF-8 or ANSI text by the rule of reg_encoding.h.
ImportResult ImportRegFile(const std::string& fileName);

} // namespace hw::regfile
