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
    ReplacingFile file(fileName);
    if (!file.stream()) return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) != bytes.size())
        return false;
    return file.Commit();
}

ReplacingFile::ReplacingFile(const std::string& fileName) {
    // A device or a pipe (/dev/stdout in a pipe links to no file of that name) is written in place.
    if (struct stat linked{}; ::stat(fileName.c_str(), &linked) == 0 && !S_ISREG(linked.st_mode)) {
        stream_ = std::fopen(fileName.c_str(), "wb");
        return;
    }
    std::error_code error;
    fs::path target = fileName;
    if (fs::is_symlink(target, error)) {
        target = fs::canonical(target, error);
        if (error) return;
    }
    target_ = target.string();
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) == 0) {
        mode_ = existing.st_mode & 07777;
        keepMode_ = true;
    }
    const int fd = CreateSiblingTempFile(target, temp_);
    if (fd < 0) {
        temp_.clear();
        return;
    }
    stream_ = ::fdopen(fd, "wb");
    if (!stream_) {
        ::close(fd);
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

ReplacingFile::~ReplacingFile() {
    Drop();
}

void ReplacingFile::Drop() {
    if (stream_) std::fclose(stream_);
    stream_ = nullptr;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

bool ReplacingFile::Commit() {
    if (!stream_) return false;
    if (temp_.empty()) {
        const bool ok = std::fflush(stream_) == 0 && !std::ferror(stream_);
        const bool closed = std::fclose(stream_) == 0;
        stream_ = nullptr;
        return ok && closed;
    }
    const int fd = ::fileno(stream_);
    bool ok = std::fflush(stream_) == 0 && !std::ferror(stream_) &&
              (!keepMode_ || ::fchmod(fd, mode_) == 0) && ::fsync(fd) == 0;
    ok = std::fclose(stream_) == 0 && ok;
    stream_ = nullptr;
    if (ok && ::rename(temp_.c_str(), target_.c_str()) == 0) {
        temp_.clear();
        return true;
    }
    Drop();
    return false;
}

} // namespace hw::util
