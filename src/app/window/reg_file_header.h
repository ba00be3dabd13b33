// The first line of the registration files this system writes.
#pragma once

#include "platform/platform_facts.h"

#include <string>

namespace hw::window {

std::string RegFileHeader(const platform::PlatformFacts& facts);

} // namespace hw::window
