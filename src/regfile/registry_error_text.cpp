#include "regfile/registry_error_text.h"

#include "platform/registry_store.h"

namespace hw::regfile {

std::string RegistryErrorText(LONG code) {
    // The store knows when the cause was the database or a key's protection rather than the request.
    if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND) {
        if (std::string reason = platform::RegistryFailureReason(); !reason.empty()) return reason;
    }
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
    case ERROR_DISK_FULL:
        return "disk full";
    case ERROR_WRITE_FAULT:
        return "I/O error";
    case ERROR_LOCK_VIOLATION:
        return "the registry database stayed locked by another process";
    default:
        return "registry error " + std::to_string(code);
    }
}

} // namespace hw::regfile
