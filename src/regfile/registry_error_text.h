// Short English words for registry function results, for the reasons that reports give.
#pragma once

#include "platform/winreg.h"

#include <string>

namespace hw::regfile {

std::string RegistryErrorText(LONG code);

} // namespace hw::regfile
