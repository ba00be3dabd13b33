// The real place of a key path under HKEY_LOCAL_MACHINE or HKEY_USERS, and the nesting test built on it.
#include "core/ascii_case.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/root_keys.h"
#include "core/scoped_key.h"
#include "core/value_text.h"
#include "util/text.h"

#include <vector>

namespace hw::core {

namespace {

const std::string kExplorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const std::string kLogonUserName = "Logon User Name";
const std::string kClassesEnding = "_CLASSES";

NameList SubKeysOf(HKEY root, const std::string& subKey) {
    NameList names;
    const ScopedKey key = OpenKey(root, subKey, KEY_READ);
    if (key) ListSubKeys(key.get(), names);
    return names;
}

std::string JoinPath(const std::string& first, const std::string& rest) {
    return rest.empty() ? first : first + "\\" + rest;
}

// The first subkey of parent, other than the alias itself, that has the given key below it.
std::string FirstSubKeyHaving(const std::string& parent, std::string_view alias, const std::string& below) {
    for (const auto& name : SubKeysOf(HKEY_LOCAL_MACHINE, parent)) {
        if (!EqualsIgnoringCase(name, alias) &&
            KeyExists(HKEY_LOCAL_MACHINE, parent + "\\" + name + "\\" + below)) {
            return name;
        }
    }
    return {};
}

std::string CurrentUserRealPath(const std::string& subKey) {
    const std::string ownName = ReadValueText(HKEY_CURRENT_USER, kExplorerKey, kLogonUserName);
    // A missing logon name identifies nobody: matching it would pick the first key without one.
    if (!ownName.empty()) {
        for (const auto& user : SubKeysOf(HKEY_USERS, "")) {
            if (EqualsIgnoringCase(ownName,
                                   ReadValueText(HKEY_USERS, user + "\\" + kExplorerKey, kLogonUserName))) {
                return "HKEY_USERS\\" + JoinPath(user, subKey);
            }
        }
    }
    return "HKEY_USERS\\" + subKey;
}

std::string LocalMachineRealPath(const std::string& subKey) {
    std::vector<std::string> parts;
    util::SplitText(subKey, '\\', parts);
    if (parts.size() >= 2 && EqualsIgnoringCase(parts[0], "SYSTEM")) {
        if (EqualsIgnoringCase(parts[1], "CURRENTCONTROLSET")) {
            const auto controlSet =
                FirstSubKeyHaving("System", "CURRENTCONTROLSET", "Hardware Profiles\\Current");
            if (!controlSet.empty()) parts[1] = controlSet;
        }
        if (parts.size() > 3 && EqualsIgnoringCase(parts[2], "HARDWARE PROFILES") &&
            EqualsIgnoringCase(parts[3], "CURRENT")) {
            const auto profile = FirstSubKeyHaving(parts[0] + "\\" + parts[1] + "\\" + parts[2], "CURRENT",
                                                   "System\\CurrentControlSet");
            if (!profile.empty()) parts[3] = profile;
        }
    }
    std::string result = "HKEY_LOCAL_MACHINE";
    for (const auto& part : parts)
        result += "\\" + part;
    return result;
}

std::string UsersRealPath(const std::string& subKey) {
    // The per-user class key itself maps too, not only the keys below it: it is the same key as the user's
    // Software\Classes, and copying one into the other must be refused.
    const auto separator = subKey.find('\\');
    const std::string first = subKey.substr(0, separator);
    const std::string rest = separator == std::string::npos ? std::string() : subKey.substr(separator + 1);
    const auto ending = util::UpperCaseAscii(first).find(kClassesEnding);
    if (ending != std::string::npos && ending + kClassesEnding.size() == first.size()) {
        const std::string user = first.substr(0, ending);
        for (const auto& name : SubKeysOf(HKEY_USERS, "")) {
            if (EqualsIgnoringCase(name, user)) return "HKEY_USERS\\" + user + "\\Software\\Classes\\" + rest;
        }
    }
    return "HKEY_USERS\\" + subKey;
}

std::string UnresolvedRealPath(HKEY root, const std::string& subKey) {
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\" + subKey;
    case HKEY_CURRENT_USER:
        return CurrentUserRealPath(subKey);
    case HKEY_LOCAL_MACHINE:
        return LocalMachineRealPath(subKey);
    case HKEY_USERS:
        return UsersRealPath(subKey);
    case HKEY_CURRENT_CONFIG:
        return LocalMachineRealPath("SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current") + "\\" + subKey;
    default:
        return RootKeyName(root) + "\\" + subKey;
    }
}

// Whether inner is outer itself or lies below it: a plain text prefix would make "Soft" hold "Software" and
// refuse renaming "Foo" to "Foo2".
bool ContainsKeyPath(std::string_view outer, std::string_view inner) {
    if (!StartsWithIgnoringCase(inner, outer)) return false;
    return inner.size() == outer.size() || inner[outer.size()] == '\\';
}

} // namespace

std::string RealKeyPath(std::string_view path) {
    const HKEY root = RootKeyOfPath(path);
    if (root == 0) return {};
    std::string result = UnresolvedRealPath(root, SubKeyOrEmpty(path));
    if (!result.empty() && result.back() == '\\') result.pop_back();
    return result;
}

bool KeyPathsUnrelated(const std::optional<std::string>& first, const std::optional<std::string>& second) {
    if (!first || !second) return false;
    const std::string firstReal = RealKeyPath(*first);
    const std::string secondReal = RealKeyPath(*second);
    if (firstReal.empty() || secondReal.empty()) return false;
    return !ContainsKeyPath(firstReal, secondReal) && !ContainsKeyPath(secondReal, firstReal);
}

} // namespace hw::core
