// Comparing registry names: only ASCII letters fold, other bytes compare as they are.
#pragma once

#include <string_view>

namespace hw::core {

bool EqualsIgnoringCase(std::string_view first, std::string_view second);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

} // namespace hw::core
