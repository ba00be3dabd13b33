#include "app/window/file_messages.h"

namespace hw::window {

std::string CannotWriteFileText(const std::string& fileName) {
    return "Could not write file:[" + fileName + "]";
}

std::string CannotReadFileText(const std::string& fileName) {
    return "Could not read file:[" + fileName + "]";
}

} // namespace hw::window
