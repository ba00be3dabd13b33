// One hive file: its header checked before anything reads it, the hivex handle over it, the lock that keeps
// a second writer out, and the atomic commit that replaces it.
#pragma once

#include "store/wine/wine_prefix.h"

#include <hivex.h>

#include <cstdint>
#include <string>

namespace hw::store::hive {

using wine::FileIdentity;

// Why the file is no hive at all (too short, no signature, a wrong checksum); empty when its header is sound.
std::string HeaderDamage(const std::string& path);
// Whether the header's two sequence numbers differ (the hive's log files hold changes never applied).
bool HeaderUnclean(const std::string& path);
// The value's data (freed by the caller) with its type as the number the hive holds: hivex returns the type
// through its enum, which cannot carry the odd types real hives use.
char* ReadHiveValue(hive_h* h, hive_value_h value, std::uint32_t& type, std::size_t& length);

class HiveFile {
  public:
    // A file made by this run is not backed up before its first commit.
    HiveFile(std::string path, bool created) : path_(std::move(path)), backedUp_(created) {}
    ~HiveFile();
    HiveFile(const HiveFile&) = delete;
    HiveFile& operator=(const HiveFile&) = delete;

    const std::string& Path() const { return path_; }
    hive_h* Handle() const { return handle_; }
    bool Writable() const { return writable_; }

    // Opens the file (hivex only reads it; commits write it whole), for writing when asked and allowed; why
    // it is read-only lands in readOnlyWhy. Throws std::runtime_error naming the file when it is no readable
    // hive.
    void Open(bool wantWrite, std::string& readOnlyWhy);
    // Opens the file again as it is now (another program replaced it); false when it cannot be read.
    bool Reopen();
    // Whether someone else replaced the file since it was read.
    bool ChangedOnDisk() const { return !(wine::IdentityOf(path_) == stamp_); }
    // Writes the changes beside the file, syncs and renames it over; the first commit keeps the original
    // as FILE.hivewright-backup unless one exists. False with the reason when the file is unchanged.
    bool Commit(std::string_view image, std::string& error);

  private:
    void Close();
    // Takes the writer's lock on the file as it is now; false when another process holds it.
    bool Lock();

    std::string path_;
    hive_h* handle_ = nullptr;
    bool writable_ = false;
    bool backedUp_ = false;
    int lockFd_ = -1;
    FileIdentity stamp_;
};

} // namespace hw::store::hive
