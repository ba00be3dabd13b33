#include "platform/wine/wine_prefix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace hw::platform::wine {

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

} // namespace

FileIdentity IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = SystemError();
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? "is a folder" : SystemError();
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
    fs::path target(path);
    std::string pattern =
        (target.parent_path() / ("." + target.filename().string() + ".hivewright-XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = "cannot create a temporary file beside " + path + ": " + SystemError();
        return false;
    }
    struct stat old {};
    mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = WriteAll(fd, text) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    if (!ok) error = "cannot write " + path + ": " + SystemError();
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = "cannot write " + path + ": " + SystemError();
    }
    if (ok && ::rename(pattern.c_str(), path.c_str()) != 0) {
        ok = false;
        error = "cannot replace " + path + ": " + SystemError();
    }
    if (!ok) {
        ::unlink(pattern.c_str());
        return false;
    }
    // The rename itself is only durable once the folder is synced.
    int dir =
        ::open(target.parent_path().empty() ? "." : target.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
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

bool PrefixLock::Acquire(const std::string& prefix, bool& busy) {
    busy = false;
    int fd = ::open((prefix + "/.hivewright.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
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

} // namespace hw::platform::wine
