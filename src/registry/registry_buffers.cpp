#include "registry/registry_buffers.h"

#include <cstring>

namespace hw::registry {

LONG CopyName(std::string_view name, LPSTR buffer, LPDWORD length) {
    if (!length) return ERROR_INVALID_PARAMETER;
    if (!buffer || *length <= name.size()) {
        *length = static_cast<DWORD>(name.size());
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *length = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

LONG CopyData(std::string_view data, LPBYTE buffer, LPDWORD size) {
    if (!size) return buffer ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    DWORD capacity = *size;
    *size = static_cast<DWORD>(data.size());
    if (!buffer) return ERROR_SUCCESS;
    if (capacity < data.size()) return ERROR_MORE_DATA;
    if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
    return ERROR_SUCCESS;
}

} // namespace hw::registry
