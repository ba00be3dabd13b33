#include "store/wine/wine_prefix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace hw::store::wine {

namespace fs = std::filesystem;

namespace {

std::string SystemError() {
    return std::strerror(errno);
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Wine keeps its server's socket and lock in /tmp/.wine-<uid>, or, when it runs as root, in a folder it names
// in the prefix's "wineserver" file.
std::string ServerRoot(const std::string& prefix) {
    std::ifstream named(prefix + "/wineserver");
    std::string name;
    if (named && std::getline(named, name) && !name.empty() && name.find('/') == std::string::npos)
        return "/tmp/" + name;
    return "/tmp/.wine-" + std::to_string(getuid());
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

constexpr const char* kPendingCopy = "pending";

std::string NotRegular(mode_t mode) {
    if (S_ISDIR(mode)) return "is a folder";
    if (S_ISFIFO(mode)) return "is a named pipe, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a regular file";
    if (S_ISSOCK(mode)) return "is a socket, not a regular file";
    return "is not a regular file";
}

// The file a path finally names, so that saving through a symbolic link replaces the linked file.
std::string FinalPath(const std::string& path) {
    std::error_code failed;
    if (!fs::is_symlink(path, failed)) return path;
    fs::path real = fs::canonical(path, failed);
    return failed ? path : real.string();
}

// ".<name>.hivewright-" beside the file: what every temporary file of ours begins with.
std::string TemporaryStem(const fs::path& target) {
    return (target.parent_path() / ("." + target.filename().string() + ".hivewright-")).string();
}

void SyncFolderOf(const fs::path& file) {
    int dir = ::open(file.parent_path().empty() ? "." : file.parent_path().c_str(),
                     O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

std::string WriteError() {
    return errno == ENOSPC || errno == EDQUOT ? "disk full" : SystemError();
}

bool WriteAt(int fd, std::string_view text, off_t offset) {
    while (!text.empty()) {
        ssize_t written = ::pwrite(fd, text.data(), text.size(), offset);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

// Writes text over the file at path in place. The space it needs is reserved first, so a full disk fails
// before a byte has changed. While the copy runs the file's first byte is a NUL, which no registry file
// begins with: a copy cut short is told by that byte alone. touched tells whether anything was written.
bool CopyInto(const std::string& path, std::string_view text, bool& touched, std::string& error) {
    touched = false;
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot write " + path + ": " + SystemError();
        return false;
    }
    bool ok = text.empty() || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(text.size())) == 0 ||
              errno == EOPNOTSUPP;
    touched = ok;
    const std::string_view head = text.substr(0, 1), rest = text.substr(head.size());
    ok = ok && WriteAt(fd, std::string_view("\0", 1), 0) && ::fdatasync(fd) == 0 &&
         WriteAt(fd, rest, static_cast<off_t>(head.size())) &&
         ::ftruncate(fd, static_cast<off_t>(text.size())) == 0 && ::fdatasync(fd) == 0 &&
         WriteAt(fd, head, 0) && ::fsync(fd) == 0;
    if (!ok) error = "cannot write " + path + ": " + WriteError();
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = "cannot write " + path + ": " + WriteError();
    }
    return ok;
}

// The in-place rewrite: the synced temporary file becomes the pending copy, which is copied over the file
// and removed. A copy that failed half way stays pending, for the next open to finish.
bool CopyThroughPending(const fs::path& target, const std::string& temporary, std::string_view text,
                        std::string& error) {
    const std::string pending = TemporaryStem(target) + kPendingCopy;
    if (::rename(temporary.c_str(), pending.c_str()) != 0) {
        error = "cannot write " + target.string() + ": " + SystemError();
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolderOf(target);
    bool touched = false;
    if (!CopyInto(target.string(), text, touched, error)) {
        if (!touched) ::unlink(pending.c_str());
        return false;
    }
    ::unlink(pending.c_str());
    return true;
}

} // namespace

FileIdentity IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        error = SystemError();
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = NotRegular(info.st_mode);
        return false;
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = SystemError();
        return false;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = NotRegular(info.st_mode);
        ::close(fd);
        return false;
    }
    text.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t got = ::read(fd, text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    bool ok = done == text.size();
    if (!ok) error = "could not be read to its end";
    ::close(fd);
    return ok;
}

bool ReplaceFile(const std::string& path, std::string_view text, std::string& error) {
    const fs::path target(FinalPath(path));
    std::string temporary = TemporaryStem(target) + "XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = "cannot create a temporary file beside " + target.string() + ": " + WriteError();
        return false;
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    // Every name of a hard-linked file must see the change, so it is rewritten in place.
    bool inPlace = exists && old.st_nlink > 1;
    bool ok = WriteAll(fd, text);
    if (ok && exists && !inPlace) {
        struct stat made {};
        ok = ::fstat(fd, &made) == 0;
        // A file we may write but could not give away again keeps its owner by being rewritten in place.
        if (ok && (made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
            ::fchown(fd, old.st_uid, old.st_gid) != 0)
            inPlace = true;
    }
    ok = ok && ::fchmod(fd, exists ? (old.st_mode & 07777) : 0644) == 0 && ::fsync(fd) == 0;
    if (!ok) error = "cannot write " + target.string() + ": " + WriteError();
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = "cannot write " + target.string() + ": " + WriteError();
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (inPlace) return CopyThroughPending(target, temporary, text, error);
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        error = "cannot replace " + target.string() + ": " + SystemError();
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself is only durable once the folder is synced.
    SyncFolderOf(target);
    return true;
}

void SettleInterruptedSaves(const std::string& path) {
    const fs::path target(FinalPath(path));
    const std::string pending = TemporaryStem(target) + kPendingCopy;
    std::string copy, text, error;
    if (ReadWholeFile(pending, copy, error) && ReadWholeFile(target, text, error)) {
        // Without the NUL the copy finished, never began, or was overtaken by another writer.
        const bool torn = !text.empty() && text[0] == '\0';
        bool touched = false;
        if (!torn || CopyInto(target, copy, touched, error)) ::unlink(pending.c_str());
    }
    const std::string stem = fs::path(TemporaryStem(target)).filename().string();
    std::error_code failed;
    fs::directory_iterator entry(target.parent_path().empty() ? fs::path(".") : target.parent_path(), failed);
    for (; !failed && entry != fs::directory_iterator(); entry.increment(failed)) {
        const std::string name = entry->path().filename().string();
        const std::string_view tail = std::string_view(name).substr(std::min(name.size(), stem.size()));
        // mkstemp's six letters and digits after our stem.
        const bool ours =
            name.starts_with(stem) && tail.size() == 6 && std::all_of(tail.begin(), tail.end(), [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) != 0;
            });
        std::error_code ignored;
        if (ours && entry->symlink_status(ignored).type() == fs::file_type::regular)
            fs::remove(entry->path(), ignored);
    }
}

bool WineServerRunning(const std::string& prefix) {
    struct stat info {};
    if (::stat(prefix.c_str(), &info) != 0) return false;
    char name[64];
    std::snprintf(name, sizeof name, "/server-%llx-%llx/lock", static_cast<unsigned long long>(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    std::string lockFile = ServerRoot(prefix) + name;
    int fd = ::open(lockFile.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    bool running = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return running;
}

PrefixLock::~PrefixLock() {
    if (fd_ >= 0) ::close(fd_);
}

std::string PrefixLock::PathIn(const std::string& prefix) {
    return (fs::path(prefix) / ".hivewright.lock").string();
}

bool PrefixLock::Acquire(const std::string& prefix, bool& busy) {
    busy = false;
    int fd = ::open(PathIn(prefix).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        busy = errno == EWOULDBLOCK;
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

std::string NativePathInPrefix(const std::string& prefix, const std::string& windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':' ||
        !std::isalpha(static_cast<unsigned char>(windowsPath[0])))
        return windowsPath;
    std::string drive(1, static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0]))));
    std::error_code failed;
    fs::path current = fs::canonical(fs::path(prefix) / "dosdevices" / (drive + ":"), failed);
    if (failed) return windowsPath;
    std::string_view rest(windowsPath);
    rest.remove_prefix(2);
    std::size_t begin = 0;
    while (begin <= rest.size()) {
        std::size_t end = rest.find_first_of("\\/", begin);
        if (end == std::string_view::npos) end = rest.size();
        std::string_view part = rest.substr(begin, end - begin);
        begin = end + 1;
        if (part.empty() || part == ".") continue;
        fs::path exact = current / std::string(part);
        if (!fs::exists(exact, failed)) {
            for (const auto& entry : fs::directory_iterator(current, failed)) {
                if (EqualIgnoringCase(entry.path().filename().string(), part)) {
                    exact = entry.path();
                    break;
                }
            }
        }
        current = exact;
    }
    return current.string();
}

} // namespace hw::store::wine
