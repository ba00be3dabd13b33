#include "store/hive/empty_hive.h"

#include "store/hive/regf_layout.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace hw::store::hive {

namespace {

using namespace regf;

constexpr std::size_t kRootOffset = kBinHeaderSize; // cell offsets count from the first bin
constexpr std::size_t kNodeFixed = 0x4C;
constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr std::string_view kRootName = "ROOT";

// Administrators own it, SYSTEM is its group, and everyone has full access, inherited by new keys.
std::string SecurityDescriptor() {
    const unsigned char bytes[] = {
        1, 0,    0x04, 0x80, 20,   0, 0,    0, 36, 0, 0, 0, 0,    0, 0, 0, 48, 0, 0, 0, // header
        1, 2,    0,    0,    0,    0, 0,    5, 32, 0, 0, 0, 0x20, 2, 0, 0,              // S-1-5-32-544
        1, 1,    0,    0,    0,    0, 0,    5, 18, 0, 0, 0,                             // S-1-5-18
        2, 0,    28,   0,    1,    0, 0,    0,                                          // the access list
        0, 0x02, 20,   0,    0x3F, 0, 0x0F, 0, 1,  1, 0, 0, 0,    0, 0, 1, 0,  0, 0, 0, // S-1-1-0: all access
    };
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::size_t CellSize(std::size_t content) {
    return (content + 4 + 7) & ~std::size_t{7};
}

void WriteCellSize(std::string& bin, std::size_t at, std::size_t size, bool used) {
    const auto value = static_cast<std::int32_t>(size);
    Write32(bin, at, static_cast<std::uint32_t>(used ? -value : value));
}

std::string HiveBin(std::uint64_t now) {
    std::string bin(kBinSize, '\0');
    bin.replace(0, 4, "hbin");
    Write32(bin, 0x08, kBinSize);
    Write64(bin, 0x14, now);

    const std::size_t nodeSize = CellSize(kNodeFixed + kRootName.size());
    const std::size_t securityAt = kRootOffset + nodeSize;
    const std::string descriptor = SecurityDescriptor();
    const std::size_t securitySize = CellSize(20 + descriptor.size());

    std::size_t nk = kRootOffset + 4;
    WriteCellSize(bin, kRootOffset, nodeSize, true);
    bin.replace(nk, 2, "nk");
    Write16(bin, nk + 0x02, 0x2C); // root of the hive, not deletable, name in ASCII
    Write64(bin, nk + 0x04, now);
    Write32(bin, nk + 0x10, kNone);
    Write32(bin, nk + 0x1C, kNone);
    Write32(bin, nk + 0x20, kNone);
    Write32(bin, nk + 0x28, kNone);
    Write32(bin, nk + 0x2C, static_cast<std::uint32_t>(securityAt));
    Write32(bin, nk + 0x30, kNone);
    Write16(bin, nk + 0x48, static_cast<std::uint16_t>(kRootName.size()));
    bin.replace(nk + kNodeFixed, kRootName.size(), kRootName);

    std::size_t sk = securityAt + 4;
    WriteCellSize(bin, securityAt, securitySize, true);
    bin.replace(sk, 2, "sk");
    Write32(bin, sk + 0x04, static_cast<std::uint32_t>(securityAt)); // the only one: its own neighbours
    Write32(bin, sk + 0x08, static_cast<std::uint32_t>(securityAt));
    Write32(bin, sk + 0x0C, 1);
    Write32(bin, sk + 0x10, static_cast<std::uint32_t>(descriptor.size()));
    bin.replace(sk + 0x14, descriptor.size(), descriptor);

    const std::size_t freeAt = securityAt + securitySize;
    WriteCellSize(bin, freeAt, kBinSize - freeAt, false);
    return bin;
}

} // namespace

std::uint64_t regf::NowFileTime() {
    const auto since1970 = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return static_cast<std::uint64_t>(since1970.count() / 100) + 116444736000000000ull;
}

std::string EmptyHiveImage() {
    const std::uint64_t now = NowFileTime();
    std::string base(kBaseBlockSize, '\0');
    base.replace(0, 4, "regf");
    Write32(base, kPrimarySequence, 1);
    Write32(base, kSecondarySequence, 1);
    Write64(base, kTimestamp, now);
    Write32(base, kMajorVersion, 1);
    Write32(base, kMinorVersion, 5);
    Write32(base, kFileFormat, 1);
    Write32(base, kRootCell, static_cast<std::uint32_t>(kRootOffset));
    Write32(base, kBinsSize, kBinSize);
    Write32(base, kClustering, 1);
    Write32(base, kChecksum, Checksum(base));
    return base + HiveBin(now);
}

bool CreateEmptyHive(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::string image = EmptyHiveImage();
    bool ok =
        ::write(fd, image.data(), image.size()) == static_cast<ssize_t>(image.size()) && ::fsync(fd) == 0;
    if (!ok) error = "cannot write " + path + ": " + std::strerror(errno);
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = "cannot write " + path + ": " + std::strerror(errno);
    }
    if (!ok) ::unlink(path.c_str());
    return ok;
}

} // namespace hw::store::hive
