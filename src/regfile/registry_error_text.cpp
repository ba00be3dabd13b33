#include "regfile/registry_error_text.h"

namespace hw::regfile {

std::string RegistryErrorText(LONG code) {
    switch (code) {
    case ERROR_SUCCESS:
        return "done";
    case ERROR_FILE_NOT_FOUND:
        return "no such key or value";
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_INVALID_HANDLE:
        return "the key is not open";
    case ERROR_OUTOFMEMORY:
        return "out of memory";
    case ERROR_INVALID_PARAMETER:
        return "invalid name or data";
    case ERROR_KEY_DELETED:
        return "the key was deleted meanwhile";
    default:
        return "registry error " + std::to_string(code);
    }
}

} // namespace hw::regfile
