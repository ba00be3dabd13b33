#include "support/small_disk.h"

#include <sys/mount.h>
#include <sys/statvfs.h>

#include <filesystem>
#include <fstream>
#include <system_error>

namespace hw::test {

SmallDisk::SmallDisk(const std::string& where, const std::string& size) : path_(where) {
    std::filesystem::create_directories(path_);
    mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted_) umount2(path_.c_str(), MNT_DETACH);
}

void SmallDisk::FillLeaving(std::uintmax_t bytes) const {
    struct statvfs disk {};
    statvfs(path_.c_str(), &disk);
    const std::uintmax_t free = static_cast<std::uintmax_t>(disk.f_bavail) * disk.f_frsize;
    std::ofstream filler(path_ + "/filler", std::ios::binary);
    const std::string block(4096, 'x');
    for (std::uintmax_t written = 0; written + bytes + block.size() <= free; written += block.size())
        filler << block;
}

void SmallDisk::Empty() const {
    std::error_code ignored;
    std::filesystem::remove(path_ + "/filler", ignored);
}

} // namespace hw::test
