#include "markup/associations.h"

#include "core/key_ops.h"
#include "core/value_text.h"
#include "platform/registry_store.h"

#include <exception>

namespace hw::markup {
namespace {

constexpr const char* kOpalExtensionKey = "HKEY_CLASSES_ROOT\\.opal";
constexpr const char* kOpalClassKey = "HKEY_CLASSES_ROOT\\opalFile";
constexpr const char* kRegExtensionKey = "HKEY_CLASSES_ROOT\\.reg";
constexpr const char* kClassesRoot = "HKEY_CLASSES_ROOT\\";
constexpr const char* kVerbSubKey = "\\shell\\EditByHivewright";

void WriteDefault(const std::string& keyPath, const std::string& text) {
    core::WriteValueTextOfPath(keyPath, "", text, REG_SZ);
}

// The entries name this program's command: they belong to its own store, never to a registry that other
// programs read (a Wine prefix), nor to one that refuses changes.
bool OwnStoreInUse() {
    try {
        const platform::RegistryStore& store = platform::CurrentRegistry();
        return store.Description().empty() && !store.ReadOnly();
    } catch (const std::exception&) {
        return false;
    }
}

std::string RegFileVerbKey() {
    const std::string className = core::ReadValueTextOfPath(kRegExtensionKey, "");
    if (className.empty()) return {};
    return kClassesRoot + className + kVerbSubKey;
}

} // namespace

std::string CommandProgramPath(const std::string& programFile) {
    if (programFile.find(' ') == std::string::npos) return programFile;
    return '"' + programFile + '"';
}

void RegisterOPALFiles(const std::string& programFile) {
    if (!OwnStoreInUse()) return;
    WriteDefault(kOpalExtensionKey, "opalFile");
    WriteDefault(kOpalClassKey, "TorvaSoft Registry Mark Language file");
    WriteDefault(std::string(kOpalClassKey) + "\\shell\\open\\Command",
                 CommandProgramPath(programFile) + " /.opal /file:<%1>");
    WriteDefault(std::string(kOpalClassKey) + "\\DefaultIcon", programFile + ",2");
}

void UnregisterOPALFiles() {
    core::DeleteKeyPath(kOpalExtensionKey);
    core::DeleteKeyPath(kOpalClassKey);
}

void RegisterRegFileVerb(const std::string& programFile) {
    if (!OwnStoreInUse()) return;
    const std::string verbKey = RegFileVerbKey();
    if (verbKey.empty()) return;
    WriteDefault(verbKey, "Edit By &Hivewright");
    WriteDefault(verbKey + "\\Command", CommandProgramPath(programFile) + " /.reg /file:<%1>");
}

void UnregisterRegFileVerb() {
    const std::string verbKey = RegFileVerbKey();
    if (!verbKey.empty()) core::DeleteKeyPath(verbKey);
}

void CheckAssociations(const std::string& programFile) {
    if (!OwnStoreInUse() || !core::ReadValueTextOfPath(kOpalExtensionKey, "").empty()) return;
    RegisterOPALFiles(programFile);
    RegisterRegFileVerb(programFile);
}

} // namespace hw::markup
