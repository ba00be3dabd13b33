#include "util/file_io.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace hw::util {

namespace {

namespace fs = std::filesystem;

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Opens a new, unique file beside target; -1 when none can be created.
int CreateSiblingTempFile(const fs::path& target, std::string& tempName) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = target.string() + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);
        int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

} // namespace

std::optional<std::string> ReadFileBytes(const std::string& fileName) {
    std::error_code error;
    if (!fs::is_regular_file(fileName, error)) return std::nullopt;
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(content).str();
}

bool WriteFileBytes(const std::string& fileName, std::string_view bytes) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

bool ReplaceFileAtomically(const std::string& fileName, std::string_view bytes) {
    std::error_code error;
    fs::path target = fileName;
    if (fs::is_symlink(target, error)) {
        target = fs::canonical(target, error);
        if (error) return false;
    }
    struct stat existing {};
    bool existed = ::stat(target.c_str(), &existing) == 0;

    std::string temp;
    int fd = CreateSiblingTempFile(target, temp);
    if (fd < 0) return false;
    bool ok =
        WriteAll(fd, bytes) && (!existed || ::fchmod(fd, existing.st_mode & 07777) == 0) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), target.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

} // namespace hw::util
