// Importing registration files into the registry.
#pragma once

#include <string>
#include <vector>

namespace hw::regfile {

enum class ImportResult {
    Success = 0,       // every recognised section and value was written
    UnknownHeader = 1, // empty, or not one of the three headers; nothing was written
    Incomplete = 2,    // something could not be read, created, converted or written; the rest was written
    FileNotFound = 3,  // file import only
};

// lines[0] is the header.
ImportResult ImportRegLines(const std::vector<std::string>& lines);
// Streams the file; a file starting with the UTF-16LE byte-order mark is read as UTF-16.
ImportResult ImportRegFile(const std::string& fileName);

} // namespace hw::regfile
