#include "app/window/reg_file_header.h"

namespace hw::window {

std::string RegFileHeader(const platform::PlatformFacts& facts) {
    if (facts.family == platform::kPlatformNt && facts.majorVersion > 4)
        return "Windows Registry Editor Version 5.00";
    return facts.majorVersion == 4 ? "REGEDIT4" : "REGEDIT3";
}

} // namespace hw::window
