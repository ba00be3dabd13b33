// Reading a whole file for the hex editor: only regular files, and only when the file stays the same
// while it is read (a FIFO, a device or a file that changes under us would hang or give a torn copy).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace hw::editors {

struct FileBytes {
    bool ok = false;
    std::string bytes;
    std::string reason; // why not, for the user, when !ok
};

// The size of a regular file; nothing for anything else or a name that cannot be opened.
std::optional<std::uint64_t> RegularFileSize(const std::string& fileName);

FileBytes ReadRegularFile(const std::string& fileName);

} // namespace hw::editors
