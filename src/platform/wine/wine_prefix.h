// The file-system side of a Wine prefix: its registry files, whether Wine runs in it, the lock that keeps a
// second writer out, replacing a file safely, and Windows paths mapped to the prefix's folders.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hw::platform::wine {

// What tells a file apart from the one read before: replaced or rewritten files differ in one of these.
struct FileIdentity {
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const std::string& path);

// Reads a whole file; false with the system's reason when it cannot.
bool ReadWholeFile(const std::string& path, std::string& text, std::string& error);

// Replaces path with text: a temporary file beside it, written and synced, given the old file's mode, then
// renamed over it, so the file is always either the old or the new one.
bool ReplaceFile(const std::string& path, std::string_view text, std::string& error);

// True when a wineserver is running for this prefix (it holds the lock in its server folder).
bool WineServerRunning(const std::string& prefix);

// An exclusive lock on a file in the prefix, held while the object lives.
class PrefixLock {
  public:
    PrefixLock() = default;
    ~PrefixLock();
    PrefixLock(const PrefixLock&) = delete;
    PrefixLock& operator=(const PrefixLock&) = delete;
    // False when another holder has it or the file cannot be made; busy tells the two apart.
    bool Acquire(const std::string& prefix, bool& busy);

  private:
    int fd_ = -1;
};

// The Linux path of a Windows path inside the prefix ("C:\windows" -> <prefix>/drive_c/windows), through the
// prefix's dosdevices links and matching names case-insensitively as Wine does; unchanged when it is no
// drive path.
std::string NativePathInPrefix(const std::string& prefix, const std::string& windowsPath);

} // namespace hw::platform::wine
