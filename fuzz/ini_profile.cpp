// Rewrites arbitrary INI text: the written value must read back, other sections must not change, and
// loading texts from it must not crash.
#include "platform/ini_profile.h"
#include "i18n/text_table.h"
#include "util/file_io.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

const std::string& FuzzFile() {
    static const std::string file =
        (std::filesystem::temp_directory_path() / ("hivewright-fuzz-ini-" + std::to_string(getpid())))
            .string();
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    const std::string& file = FuzzFile();
    if (!util::WriteFileBytes(file, std::string(reinterpret_cast<const char*>(data), size))) return 0;
    i18n::LoadTextSection(file, "S");

    const auto otherBefore = platform::ReadProfileSection(file, "T");
    if (!platform::WriteProfileString(file, "S", "k", "v=1 x")) std::abort();
    if (platform::ReadProfileString(file, "S", "K", "") != "v=1 x") std::abort();
    if (platform::ReadProfileSection(file, "T") != otherBefore) std::abort();
    return 0;
}
