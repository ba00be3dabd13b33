#include "content/version_line.h"

namespace hw::content {

bool IsVersionLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return false;
    line = line.substr(first, line.find_last_not_of(" \t") - first + 1);
    return line == "Windows Registry Editor Version 5.00" || line == "REGEDIT4" || line == "REGEDIT3" ||
           line == "REGEDIT2";
}

} // namespace hw::content
