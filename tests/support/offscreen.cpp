// Window tests never need a display: Qt draws offscreen unless the caller chose a platform.
#include <cstdlib>

namespace {
const bool kOffscreen = [] { return setenv("QT_QPA_PLATFORM", "offscreen", 0) == 0; }();
} // namespace
