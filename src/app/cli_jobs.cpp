#include "app/cli_jobs.h"

#include "app/association_jobs.h"
#include "app/usage_text.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "platform/registry_store.h"
#include "regfile/reg_export.h"
#include "regfile/reg_import.h"
#include "util/dialog.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace hw::app {
namespace {

constexpr const char* kImportQuestion = "Sure to import this file into your registry?";

// A line stays readable whatever it names: a path 512 levels deep keeps its start and its end.
constexpr std::size_t kLongestLine = 300;

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string Shortened(const std::string& text) {
    if (text.size() <= kLongestLine) return text;
    std::size_t headEnd = kLongestLine / 2;
    while (headEnd > 0 && IsUtf8Continuation(text[headEnd]))
        --headEnd;
    std::size_t tailStart = text.size() - kLongestLine / 2;
    while (tailStart < text.size() && IsUtf8Continuation(text[tailStart]))
        ++tailStart;
    return text.substr(0, headEnd) + " ... " + text.substr(tailStart);
}

// One line on the error stream.
void Report(std::ostream& errors, const std::string& message) {
    errors << "hivewright: " << Shortened(message) << '\n';
}

int Fail(std::ostream& errors, int status, const std::string& message) {
    Report(errors, message);
    return status;
}

bool UsesRegistry(Mode mode) {
    return mode == Mode::Import || mode == Mode::Export || mode == Mode::Delete ||
           mode == Mode::RegisterAssociations || mode == Mode::UnregisterAssociations;
}

// Why a registry step failed, in words: the store's own reason when it has one.
std::string RegistryCause(LONG code) {
    if (code == ERROR_FILE_NOT_FOUND) return "no such key";
    if (std::string reason = platform::RegistryFailureReason(); !reason.empty()) return reason;
    if (code == ERROR_ACCESS_DENIED) return "access denied";
    return "registry error " + std::to_string(code);
}

// The result of opening the key at path, which is closed again.
LONG OpenResult(const std::string& path, REGSAM access) {
    const HKEY root = core::RootKeyOfPath(path);
    if (root == 0) return ERROR_FILE_NOT_FOUND;
    HKEY key = 0;
    const LONG result = RegOpenKeyExA(root, core::SubKeyOrEmpty(path).c_str(), 0, access, &key);
    if (result == ERROR_SUCCESS) RegCloseKey(key);
    return result;
}

bool IsDirectory(const std::string& file) {
    std::error_code ignored;
    return std::filesystem::is_directory(file, ignored);
}

} // namespace

int RunImportJob(const CommandLine& commandLine, std::ostream& errors) {
    const std::string& file = commandLine.fileName;
    if (file.empty())
        return Fail(errors, static_cast<int>(regfile::ImportResult::FileNotFound),
                    "/import needs a file: \"/import /file:<file>\"");
    const int incomplete = static_cast<int>(regfile::ImportResult::Incomplete);
    if (IsDirectory(file))
        return Fail(errors, incomplete, file + ": is a directory, not a registration file");
    if (commandLine.ask && !util::AskYesNo(kImportQuestion))
        return Fail(errors, kExitFailure,
                    "import of " + file + " declined (skip the question with --yes or /ask:[no])");
    if (platform::RegistryIsReadOnly())
        return Fail(errors, incomplete, file + ": nothing imported: the registry database is read-only");
    const regfile::ImportReport report = regfile::ImportRegFileReported(file);
    const regfile::ImportResult result = report.result;
    if (const std::string unsaved = platform::FlushRegistry(); !unsaved.empty())
        return Fail(errors, incomplete, file + ": " + unsaved);
    switch (result) {
    case regfile::ImportResult::Success:
        break;
    case regfile::ImportResult::UnknownHeader:
        Report(errors, file + ": registry file version unknown, nothing imported");
        break;
    case regfile::ImportResult::Incomplete:
        Report(errors, file + ": some sections or values could not be imported");
        for (const std::string& failure : regfile::DescribeImportFailures(report))
            Report(errors, file + ": " + failure);
        break;
    case regfile::ImportResult::FileNotFound:
        Report(errors, file + ": file does not exist");
        break;
    }
    return static_cast<int>(result);
}

int RunExportJob(const CommandLine& commandLine, std::ostream& errors) {
    const std::string& key = commandLine.keyName;
    const std::string& file = commandLine.fileName;
    if (key.empty())
        return Fail(errors, kExitUsage, "/export needs a key: \"/export /file:<file> /key:<key>\"");
    if (file.empty())
        return Fail(errors, kExitUsage, "/export needs a file: \"/export /file:<file> /key:<key>\"");
    // Checked first, so that a mistyped key does not replace the file with a header alone.
    if (const LONG opened = OpenResult(key, KEY_READ); opened != ERROR_SUCCESS)
        return Fail(errors, kExitFailure, key + ": " + RegistryCause(opened));
    if (platform::IsRegistryStoreFile(file))
        return Fail(errors, kExitFailure, file + ": is the registry database itself, not written");
    if (IsDirectory(file)) return Fail(errors, kExitFailure, file + ": is a directory");
    errno = 0;
    const regfile::ExportReport report =
        regfile::ExportKeyPathToFileReported(key, file, regfile::RegFileHeader());
    const int cause = errno;
    switch (report.result) {
    case regfile::ExportResult::Success:
        break;
    case regfile::ExportResult::KeyNotFound:
        return Fail(errors, kExitFailure, key + ": the key could not be opened");
    case regfile::ExportResult::ReadFailed:
        return Fail(errors, kExitFailure, file + ": not written: " + report.unreadable);
    case regfile::ExportResult::WriteFailed:
    case regfile::ExportResult::Cancelled:
        return Fail(errors, kExitFailure,
                    file + ": cannot write the file" +
                        (cause ? std::string(": ") + std::strerror(cause) : ""));
    }
    if (report.leftOut.empty()) return kExitSuccess;
    Report(errors, file + ": " + std::to_string(report.leftOut.size()) +
                       " names holding line ends were left out, which the file format cannot carry");
    constexpr std::size_t kNamed = 10;
    for (std::size_t i = 0; i < report.leftOut.size() && i < kNamed; ++i)
        Report(errors, "left out: " + report.leftOut[i]);
    if (report.leftOut.size() > kNamed)
        Report(errors, "... and " + std::to_string(report.leftOut.size() - kNamed) + " more");
    return kExitLeftOut;
}

int RunDeleteJob(const CommandLine& commandLine, std::ostream& errors) {
    const std::string& key = commandLine.keyName;
    const std::string& value = commandLine.valueName;
    if (key.empty())
        return Fail(errors, kExitUsage, "/del needs a key: \"/del /key:<key> [/value:<value>]\"");
    if (const LONG opened = OpenResult(key, KEY_READ); opened != ERROR_SUCCESS)
        return Fail(errors, kExitFailure, key + ": " + RegistryCause(opened));
    if (value.empty()) {
        const bool deleted = core::DeleteKeyPath(key);
        if (const std::string unsaved = platform::FlushRegistry(); !unsaved.empty())
            return Fail(errors, kExitFailure, key + ": " + unsaved);
        if (!deleted)
            return Fail(errors, kExitFailure,
                        key + ": could not delete all of the key: " + RegistryCause(ERROR_ACCESS_DENIED));
        return kExitSuccess;
    }
    if (!core::ValuePathExists(key, value))
        return Fail(errors, kExitFailure, key + ": no value named " + value);
    core::DeleteValuePath(key, value);
    const std::string cause = RegistryCause(ERROR_ACCESS_DENIED);
    if (const std::string unsaved = platform::FlushRegistry(); !unsaved.empty())
        return Fail(errors, kExitFailure, key + ": " + unsaved);
    if (core::ValuePathExists(key, value))
        return Fail(errors, kExitFailure, key + ": could not delete the value " + value + ": " + cause);
    return kExitSuccess;
}

int RunCommandLineMode(const CommandLine& commandLine, std::ostream& output, std::ostream& errors) {
    if (!commandLine.usageError.empty()) return Fail(errors, kExitUsage, commandLine.usageError);
    // Opened first so that an unusable database escapes as what it is, not as a missing key.
    if (UsesRegistry(commandLine.mode)) {
        // A registry that only reads (a running Wine, another writer) says so in one line.
        if (std::string notice = platform::CurrentRegistry().Notice(); !notice.empty())
            Report(errors, notice);
    }
    int status = kExitUsage;
    switch (commandLine.mode) {
    case Mode::Import:
        status = RunImportJob(commandLine, errors);
        break;
    case Mode::Export:
        status = RunExportJob(commandLine, errors);
        break;
    case Mode::Delete:
        status = RunDeleteJob(commandLine, errors);
        break;
    case Mode::Usage:
        output << UsageText();
        return kExitSuccess;
    case Mode::RegisterAssociations:
        status = RunRegisterJob(errors);
        break;
    case Mode::UnregisterAssociations:
        status = RunUnregisterJob();
        break;
    case Mode::OpalWindow:
    case Mode::RegFileWindow:
    case Mode::HexEditorWindow:
    case Mode::Normal:
        return Fail(errors, kExitUsage, "this mode needs the window");
    }
    // Whatever a job left unsaved makes it a failure, even one that thought it was done.
    if (const std::string unsaved = platform::FlushRegistry(); !unsaved.empty() && status == kExitSuccess)
        return Fail(errors, kExitFailure, unsaved);
    return status;
}

} // namespace hw::app
