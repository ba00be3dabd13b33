#include "editors/hex_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hw::editors {

namespace {

class FileDescriptor {
  public:
    // Non-blocking, so that opening a FIFO without a writer does not wait.
    explicit FileDescriptor(const std::string& fileName)
        : fd_(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

bool SameFileState(const struct stat& before, const struct stat& after) {
    return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
           before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
}

FileBytes Failure(std::string reason) {
    return {false, {}, std::move(reason)};
}

} // namespace

std::optional<std::uint64_t> RegularFileSize(const std::string& fileName) {
    struct stat status {};
    if (::stat(fileName.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(status.st_size);
}

FileBytes ReadRegularFile(const std::string& fileName) {
    const FileDescriptor file(fileName);
    if (file.get() < 0) return Failure(std::strerror(errno));
    struct stat before {};
    if (::fstat(file.get(), &before) != 0) return Failure(std::strerror(errno));
    if (!S_ISREG(before.st_mode)) return Failure("not a regular file");

    FileBytes result;
    result.bytes.resize(static_cast<std::size_t>(before.st_size));
    std::size_t done = 0;
    while (done < result.bytes.size()) {
        const ssize_t got = ::read(file.get(), result.bytes.data() + done, result.bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Failure(std::strerror(errno));
        if (got == 0) return Failure("the file became shorter while it was read");
        done += static_cast<std::size_t>(got);
    }
    char extra = 0;
    struct stat after {};
    if (::read(file.get(), &extra, 1) != 0 || ::fstat(file.get(), &after) != 0 ||
        !SameFileState(before, after))
        return Failure("the file changed while it was read");
    result.ok = true;
    return result;
}

} // namespace hw::editors
