#include "app/registry_option.h"

#include "platform/registry_store.h"
#include "store/hive/hive_layout.h"

#include <cstdlib>

namespace hw::app {

namespace {

struct RegistryChoice {
    std::string wine, windows, user;
    std::vector<std::string> hives;
    bool readOnly = false;
};

std::filesystem::path Absolute(const std::string& path, const std::filesystem::path& startDir) {
    const std::filesystem::path given(path);
    return (given.is_absolute() ? given : startDir / given).lexically_normal();
}

// Takes the leading option called name with its value ("--name VALUE" or "--name=VALUE"). Returns false when
// the first argument is another one; error is set when the option lacks its value.
bool TakeValued(std::vector<std::string>& arguments, std::string_view name, std::string& value,
                std::string& error) {
    const std::string& first = arguments.front();
    std::size_t taken = 1;
    if (first.size() > name.size() && first.starts_with(name) && first[name.size()] == '=') {
        value = first.substr(name.size() + 1);
    } else if (first == name && arguments.size() > 1) {
        value = arguments[1];
        taken = 2;
    } else if (first == name) {
        value.clear();
    } else {
        return false;
    }
    if (value.empty()) error = std::string(name) + " needs its value";
    arguments.erase(arguments.begin(), arguments.begin() + static_cast<std::ptrdiff_t>(taken));
    return true;
}

std::string TakeChoice(std::vector<std::string>& arguments, RegistryChoice& choice) {
    std::string value, error;
    while (!arguments.empty() && error.empty()) {
        if (arguments.front() == "--read-only") {
            choice.readOnly = true;
            arguments.erase(arguments.begin());
        } else if (TakeValued(arguments, "--wine-prefix", value, error)) {
            if (value.empty()) return "--wine-prefix needs the path of a Wine prefix folder";
            choice.wine = value;
        } else if (TakeValued(arguments, "--hive", value, error)) {
            if (value.empty()) return "--hive needs the path of a hive file";
            choice.hives.push_back(value);
        } else if (TakeValued(arguments, "--windows-root", value, error)) {
            if (value.empty()) return "--windows-root needs the folder that holds Windows";
            choice.windows = value;
        } else if (TakeValued(arguments, "--windows-user", value, error)) {
            choice.user = value;
        } else {
            break;
        }
    }
    if (!error.empty()) return error;
    const int chosen = !choice.wine.empty() + !choice.windows.empty() + !choice.hives.empty();
    if (chosen > 1) return "choose one registry: --wine-prefix, --windows-root or --hive";
    return {};
}

} // namespace

std::string TakeRegistryOption(std::vector<std::string>& arguments, const std::filesystem::path& startDir) {
    RegistryChoice choice;
    if (std::string error = TakeChoice(arguments, choice); !error.empty()) return error;
    // The store is chosen when first used; the variables also reach programs started from here.
    std::string location;
    if (!choice.wine.empty())
        location = platform::kWineRegistryPrefix + Absolute(choice.wine, startDir).string();
    if (!choice.windows.empty())
        location = platform::kWindowsRegistryPrefix + Absolute(choice.windows, startDir).string();
    if (!choice.hives.empty()) {
        location = platform::kHiveRegistryPrefix;
        for (const std::string& hive : choice.hives) {
            const store::hive::HiveMount mount = store::hive::SingleHiveMount(hive);
            location += Absolute(mount.file, startDir).string() + "=" + mount.name + "\n";
        }
    }
    if (!location.empty()) setenv("HIVEWRIGHT_REGISTRY", location.c_str(), 1);
    if (!choice.user.empty()) setenv("HIVEWRIGHT_WINDOWS_USER", choice.user.c_str(), 1);
    if (choice.readOnly) setenv(platform::kReadOnlyVariable, "1", 1);
    return {};
}

} // namespace hw::app
