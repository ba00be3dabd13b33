#include "markup/desktop_integration.h"

#include "util/file_io.h"

#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace hw::markup {
namespace {

constexpr std::string_view kMarker = "Written by hivewright /reg; hivewright /unreg removes it.";
constexpr std::string_view kOpalMimeType = "application/x-hivewright-opal";
constexpr std::string_view kRegMimeType = "text/x-ms-regedit";

struct HandlerEntry {
    const char* fileName;
    const char* name;
    const char* option;
    std::string_view mimeType;
};

constexpr std::array kHandlers = {
    HandlerEntry{"hivewright-opal.desktop", "Hivewright", "--opal", kOpalMimeType},
    HandlerEntry{"hivewright-edit-reg.desktop", "Edit By Hivewright", "--edit-reg", kRegMimeType},
};
constexpr const char* kLauncherFile = "hivewright.desktop";
constexpr const char* kMimePackageFile = "hivewright.xml";

std::filesystem::path ApplicationsDir(const std::string& dataHome) {
    return std::filesystem::path(dataHome) / "applications";
}

std::filesystem::path MimeDir(const std::string& dataHome) {
    return std::filesystem::path(dataHome) / "mime";
}

std::filesystem::path MimePackage(const std::string& dataHome) {
    return MimeDir(dataHome) / "packages" / kMimePackageFile;
}

// A desktop entry's string values escape backslashes and cannot hold line breaks.
std::string EntryString(std::string_view text) {
    std::string result;
    for (const char c : text)
        result += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return result;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

std::string EntryHeader(std::string_view name, std::string_view iconFile) {
    std::string text =
        "# " + std::string(kMarker) + "\n[Desktop Entry]\nType=Application\nName=" + std::string(name) + "\n";
    if (!iconFile.empty()) text += "Icon=" + EntryString(iconFile) + "\n";
    return text;
}

// Launchers look the program word up as written, before they undo "%%": a program whose path holds "%"
// is started through env, whose path holds none, so the word they look up exists.
std::string ExecProgram(const std::string& programFile) {
    const std::string argument = DesktopExecArgument(programFile);
    return programFile.find('%') == std::string::npos ? argument : "env " + argument;
}

std::string LauncherEntryText(const std::string& programFile, const std::string& iconFile) {
    return EntryHeader("Hivewright", iconFile) +
           "GenericName=Registry Editor\nComment=Edit the registry and its magic setting pages\nExec=" +
           ExecProgram(programFile) + "\nTerminal=false\nCategories=System;Settings;\n";
}

std::string HandlerEntryText(const HandlerEntry& handler, const std::string& programFile,
                             const std::string& iconFile) {
    return EntryHeader(handler.name, iconFile) + "Exec=" + ExecProgram(programFile) + " " + handler.option +
           " %f\nMimeType=" + std::string(handler.mimeType) + ";\nNoDisplay=true\nTerminal=false\n";
}

std::string MimePackageText() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- " + std::string(kMarker) +
           " -->\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"" +
           std::string(kOpalMimeType) +
           "\">\n"
           "    <comment>OPAL settings page</comment>\n"
           "    <sub-class-of type=\"text/plain\"/>\n"
           "    <glob pattern=\"*.opal\"/>\n"
           "  </mime-type>\n"
           "  <mime-type type=\"" +
           std::string(kRegMimeType) +
           "\">\n"
           "    <comment>Registration entries</comment>\n"
           "    <sub-class-of type=\"text/plain\"/>\n"
           "    <glob pattern=\"*.reg\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

bool WriteWithFolder(const std::filesystem::path& file, const std::string& text) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    return util::WriteFileBytes(file.string(), text);
}

void RemoveIfOurs(const std::filesystem::path& file) {
    const auto text = util::ReadFileBytes(file.string());
    if (!text || text->find(kMarker) == std::string::npos) return;
    std::error_code error;
    std::filesystem::remove(file, error);
}

// Runs tool with one folder argument, without a shell and with its output discarded, when it is installed.
void RunTool(const char* tool, const std::filesystem::path& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string folderText = folder.string();
    char* const arguments[] = {const_cast<char*>(tool), const_cast<char*>(folderText.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, tool, &actions, nullptr, arguments, environ) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}

void RefreshDatabases(const std::string& dataHome) {
    RunTool("update-mime-database", MimeDir(dataHome));
    RunTool("update-desktop-database", ApplicationsDir(dataHome));
}

} // namespace

std::string XdgDataHome() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data) return data;
    const char* home = std::getenv("HOME");
    if (home && *home) return (std::filesystem::path(home) / ".local" / "share").string();
    return {};
}

std::string DesktopExecArgument(const std::string& argument) {
    constexpr std::string_view kPlain =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._+-,";
    std::string result;
    const bool plain = !argument.empty() && argument.find_first_not_of(kPlain) == std::string::npos;
    if (!plain) result += '"';
    for (const char c : argument) {
        if (c == '%') {
            result += "%%";
            continue;
        }
        // Inside quotes these take a backslash; the entry's own escaping then doubles every backslash.
        if (c == '"' || c == '`' || c == '$') result += "\\\\";
        if (c == '\\') result += "\\\\\\";
        result += c;
    }
    if (!plain) result += '"';
    return result;
}

bool InstallDesktopIntegration(const std::string& programFile, const std::string& iconFile,
                               const std::string& dataHome) {
    if (dataHome.empty() || HasLineBreak(programFile) || HasLineBreak(iconFile)) return false;
    bool written =
        WriteWithFolder(ApplicationsDir(dataHome) / kLauncherFile, LauncherEntryText(programFile, iconFile));
    for (const HandlerEntry& handler : kHandlers)
        written = WriteWithFolder(ApplicationsDir(dataHome) / handler.fileName,
                                  HandlerEntryText(handler, programFile, iconFile)) &&
                  written;
    written = WriteWithFolder(MimePackage(dataHome), MimePackageText()) && written;
    RefreshDatabases(dataHome);
    return written;
}

void RemoveDesktopIntegration(const std::string& dataHome) {
    if (dataHome.empty()) return;
    RemoveIfOurs(ApplicationsDir(dataHome) / kLauncherFile);
    for (const HandlerEntry& handler : kHandlers)
        RemoveIfOurs(ApplicationsDir(dataHome) / handler.fileName);
    RemoveIfOurs(MimePackage(dataHome));
    RefreshDatabases(dataHome);
}

} // namespace hw::markup
