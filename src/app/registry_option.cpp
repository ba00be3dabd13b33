#include "app/registry_option.h"

#include "platform/registry_store.h"

#include <cstdlib>

namespace hw::app {

std::string TakeRegistryOption(std::vector<std::string>& arguments, const std::filesystem::path& startDir) {
    constexpr std::string_view kOption = "--wine-prefix";
    if (arguments.empty() || !arguments.front().starts_with(kOption)) return {};
    std::string first = arguments.front();
    std::string path;
    std::size_t taken = 1;
    if (first.size() > kOption.size() && first[kOption.size()] == '=') {
        path = first.substr(kOption.size() + 1);
    } else if (first.size() == kOption.size() && arguments.size() > 1) {
        path = arguments[1];
        taken = 2;
    } else if (first.size() != kOption.size()) {
        return {}; // another word that merely starts the same
    }
    if (path.empty()) return "--wine-prefix needs the path of a Wine prefix folder";
    arguments.erase(arguments.begin(), arguments.begin() + static_cast<std::ptrdiff_t>(taken));
    std::filesystem::path prefix =
        std::filesystem::path(path).is_absolute() ? std::filesystem::path(path) : startDir / path;
    // The store is chosen when first used; the variable also reaches programs started from here.
    setenv("HIVEWRIGHT_REGISTRY",
           (platform::kWineRegistryPrefix + prefix.lexically_normal().string()).c_str(), 1);
    return {};
}

} // namespace hw::app
