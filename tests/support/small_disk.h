// A small tmpfs for tests of full disks; mounting needs root, so a test skips when mounted() is false.
#pragma once

#include <cstdint>
#include <string>

namespace hw::test {

class SmallDisk {
  public:
    explicit SmallDisk(const std::string& where, const std::string& size = "16m");
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    // Fills the disk with a file, leaving about `bytes` free.
    void FillLeaving(std::uintmax_t bytes) const;
    void Empty() const;

  private:
    std::string path_;
    bool mounted_ = false;
};

} // namespace hw::test
