// Splitting a key path text into its root and its subkey path.
#include "core/key_path.h"

#include "core/ascii_case.h"
#include "core/root_keys.h"

namespace hw::core {

HKEY RootKeyOfPath(std::string_view path) {
    const std::string_view component = path.substr(0, path.find('\\'));
    for (const auto& root : RootKeyTable()) {
        if (EqualsIgnoringCase(component, root.fullName) ||
            EqualsIgnoringCase(component, root.abbreviation)) {
            return root.handle;
        }
    }
    return 0;
}

std::optional<std::string> SubKeyOfPath(std::string_view path) {
    const auto separator = path.find('\\');
    if (separator == std::string_view::npos || RootKeyOfPath(path) == 0) return std::nullopt;
    return std::string(path.substr(separator + 1));
}

std::string SubKeyOrEmpty(std::string_view path) {
    return SubKeyOfPath(path).value_or(std::string{});
}

} // namespace hw::core
