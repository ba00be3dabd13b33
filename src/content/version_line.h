// The first line of a registration file that names its format.
#pragma once

#include <string_view>

namespace hw::content {

// True when the line, trimmed of spaces and tabs, is one of the four version lines the reader knows.
bool IsVersionLine(std::string_view line);

} // namespace hw::content
