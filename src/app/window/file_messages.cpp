#include "app/window/file_messages.h"

namespace hw::window {

std::string CannotWriteFileText(const std::string& fileName) {
    return "Could not write file:[" + fileName + "]";
}

} // namespace hw::window
