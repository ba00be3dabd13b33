// The file-system side of a Wine prefix: its registry files, whether Wine runs in it, the lock that keeps a
// second writer out, replacing a file safely, and Windows paths mapped to the prefix's folders.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hw::store::wine {

// What tells a file apart from the one read before: replaced or rewritten files differ in one of these.
struct FileIdentity {
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const std::string& path);

// Reads a whole regular file; false with the reason when it cannot. Anything else (a FIFO, a device) is
// refused without being opened, so it can neither block nor stream forever.
bool ReadWholeFile(const std::string& path, std::string& text, std::string& error);

// Replaces path with text so that it is always either the old or the new file. Through a symbolic link the
// file it names is replaced. A file with hard links, or whose owner cannot be given to a new file, is
// rewritten in place as Wine does: the text is first written and synced beside it as the pending copy,
// then copied over in one checked pass into space reserved beforehand, marked torn until it is whole (the
// pending copy is ".<name>.hivewright-pending" beside the file). Owner and mode stay.
bool ReplaceFile(const std::string& path, std::string_view text, std::string& error);

// What a killed save of path left behind, settled; only for the holder of the prefix's lock, since another
// writer's files would be in use. A pending copy completes a file its copy left torn and is dropped
// otherwise; temporary files (".<name>.hivewright-XXXXXX" beside it) are removed.
void SettleInterruptedSaves(const std::string& path);

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
    // The lock file of a prefix.
    static std::string PathIn(const std::string& prefix);

  private:
    int fd_ = -1;
};

// The Linux path of a Windows path inside the prefix ("C:\windows" -> <prefix>/drive_c/windows), through the
// prefix's dosdevices links and matching names case-insensitively as Wine does; unchanged when it is no
// drive path.
std::string NativePathInPrefix(const std::string& prefix, const std::string& windowsPath);

} // namespace hw::store::wine
