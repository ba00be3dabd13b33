#include "store/hive/hive_file.h"

#include "store/hive/regf_layout.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace hw::store::hive {

namespace fs = std::filesystem;

char* ReadHiveValue(hive_h* h, hive_value_h value, std::uint32_t& type, std::size_t& length) {
    static_assert(sizeof(hive_type) == sizeof(std::uint32_t));
    hive_type raw{};
    char* data = hivex_value_value(h, value, &raw, &length);
    std::memcpy(&type, &raw, sizeof type);
    return data;
}

namespace {

constexpr const char* kTemporaryMark = ".hivewright-tmp-";

std::string Reason() {
    return std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

std::string ReadHead(const std::string& path, std::size_t size) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(size, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// What a killed commit left beside the file: its unfinished copies.
void RemoveUnfinishedCommits(const std::string& path) {
    const std::string stem = fs::path(path).filename().string() + kTemporaryMark;
    std::error_code failed;
    for (const auto& entry : fs::directory_iterator(FolderOf(path), failed))
        if (entry.path().filename().string().starts_with(stem)) fs::remove(entry.path(), failed);
}

// A file nobody may write is taken as meant to stay as it is, also by an administrator whom access() lets.
bool MayWrite(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & 0222) != 0 &&
           ::access(path.c_str(), W_OK) == 0 && ::access(FolderOf(path).c_str(), W_OK) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool KeepBackup(const std::string& path, std::string& error) {
    const std::string backup = path + ".hivewright-backup";
    if (::access(backup.c_str(), F_OK) == 0) return true;
    if (::link(path.c_str(), backup.c_str()) == 0) return true;
    std::error_code failed;
    fs::copy_file(path, backup, failed); // file systems without hard links
    if (failed) error = "cannot keep a backup of " + path + ": " + failed.message();
    return !failed;
}

} // namespace

std::string HeaderDamage(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return "cannot be read: " + Reason();
    if (!S_ISREG(info.st_mode)) return "is not a regular file";
    const std::string head = ReadHead(path, regf::kBaseBlockSize);
    if (head.size() < 4 || head.compare(0, 4, "regf") != 0) return "is not a Windows registry hive";
    if (head.size() < regf::kBaseBlockSize) return "is truncated: it ends inside its header";
    if (regf::Read32(head, regf::kChecksum) != regf::Checksum(head)) return "has a damaged header";
    const std::uint64_t promised = regf::kBaseBlockSize + std::uint64_t{regf::Read32(head, regf::kBinsSize)};
    if (static_cast<std::uint64_t>(info.st_size) < promised)
        return "is truncated: it has " + std::to_string(info.st_size) + " of its " +
               std::to_string(promised) + " bytes";
    return {};
}

bool HeaderUnclean(const std::string& path) {
    const std::string head = ReadHead(path, regf::kBaseBlockSize);
    return head.size() == regf::kBaseBlockSize &&
           regf::Read32(head, regf::kPrimarySequence) != regf::Read32(head, regf::kSecondarySequence);
}

HiveFile::~HiveFile() {
    Close();
    if (lockFd_ >= 0) ::close(lockFd_);
}

void HiveFile::Close() {
    if (handle_) hivex_close(handle_);
    handle_ = nullptr;
}

bool HiveFile::Lock() {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        // The lock is on the file as it is now, not on one a commit replaced meanwhile.
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) == 0 && ::stat(path_.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
            held.st_dev == named.st_dev) {
            lockFd_ = fd;
            return true;
        }
        ::close(fd);
    }
    return false;
}

void HiveFile::Open(bool wantWrite, std::string& readOnlyWhy) {
    if (std::string damage = HeaderDamage(path_); !damage.empty())
        throw std::runtime_error(path_ + " " + damage + ", so nothing of it is opened.");
    struct statvfs volume {};
    if (wantWrite && HeaderUnclean(path_)) {
        readOnlyWhy = path_ +
                      " was not cleanly written (its log files hold changes never applied), so it is open "
                      "read-only: writing it would lose them.";
    } else if (wantWrite && ::statvfs(FolderOf(path_).c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY)) {
        readOnlyWhy = path_ + " is on a read-only file system, so it is open read-only.";
    } else if (wantWrite && !MayWrite(path_)) {
        readOnlyWhy = path_ + " cannot be written, so it is open read-only.";
    } else if (wantWrite && !Lock()) {
        readOnlyWhy = "Another program is changing " + path_ + ", so it is open read-only.";
    }
    writable_ = wantWrite && readOnlyWhy.empty();
    if (writable_) RemoveUnfinishedCommits(path_);
    stamp_ = wine::IdentityOf(path_);
    handle_ = hivex_open(path_.c_str(), 0);
    if (!handle_)
        throw std::runtime_error(path_ + " is damaged (" + Reason() + "), so nothing of it is opened.");
}

bool HiveFile::Reopen() {
    if (!HeaderDamage(path_).empty()) return false;
    const FileIdentity stamp = wine::IdentityOf(path_);
    hive_h* fresh = hivex_open(path_.c_str(), 0);
    if (!fresh) return false;
    Close();
    handle_ = fresh;
    stamp_ = stamp;
    return true;
}

bool HiveFile::Commit(std::string_view image, std::string& error) {
    std::string temporary = path_ + kTemporaryMark + "XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = "cannot write beside " + path_ + ": " + Reason();
        return false;
    }
    struct stat old {};
    bool ok = ::stat(path_.c_str(), &old) == 0 && WriteAll(fd, image) &&
              ::fchmod(fd, old.st_mode & 07777) == 0 && ::fsync(fd) == 0 && ::flock(fd, LOCK_EX) == 0;
    if (!ok) error = "cannot write " + path_ + ": " + Reason();
    if (ok && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Another user's file keeps its owner where we may give it; it is still ours to replace.
        [[maybe_unused]] const int given = ::fchown(fd, old.st_uid, old.st_gid);
    }
    ok = ok && (backedUp_ || KeepBackup(path_, error));
    if (ok && ::rename(temporary.c_str(), path_.c_str()) != 0) {
        error = "cannot replace " + path_ + ": " + Reason();
        ok = false;
    }
    if (!ok) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    }
    backedUp_ = true;
    SyncFolder(FolderOf(path_));
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = fd;
    stamp_ = wine::IdentityOf(path_);
    return true;
}

} // namespace hw::store::hive
