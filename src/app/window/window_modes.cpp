#include "app/window/window_modes.h"

#include <cstdio>

namespace hw::window {

int RunWindowMode(const hw::app::CommandLine&, int&, char**) {
    std::fputs("hivewright: the window is not built yet\n", stderr);
    return 2;
}

} // namespace hw::window
