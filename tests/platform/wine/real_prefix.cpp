#include "real_prefix.h"

#include "platform/winreg.h"
#include "store/wine/wine_text.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace hw::test {

namespace fs = std::filesystem;

namespace {

// No debug output, no install dialogs for Mono and Gecko, and nothing that waits for a display.
const char* kWineEnvironment =
    "export WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' && unset DISPLAY WAYLAND_DISPLAY && ";

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

} // namespace

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int RunInPrefix(const fs::path& prefix, const std::string& command) {
    std::string line = std::string("cd / && export WINEPREFIX=") + Quoted(prefix) + " && " +
                       kWineEnvironment + "(" + command +
                       ") >/dev/null 2>&1; status=$?; wineserver -w; exit $status";
    int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path TemplatePrefix() {
    if (std::system("command -v wineboot >/dev/null 2>&1") != 0) return {};
    const char* binary = std::getenv("HIVEWRIGHT_TEST_BINARY_DIR");
    fs::path base = binary && *binary ? fs::path(binary) : fs::temp_directory_path();
    fs::path prefix = base / "wine-test-prefix";
    // Test programs run side by side: one makes the prefix, the others wait for it.
    int lock = ::open((base / "wine-test-prefix.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0 || ::flock(lock, LOCK_EX) != 0) throw std::runtime_error("cannot lock the test prefix");
    if (!fs::exists(prefix / "system.reg")) {
        fs::remove_all(prefix);
        std::string line = std::string("cd / && export WINEPREFIX=") + Quoted(prefix) + " && " +
                           kWineEnvironment + "timeout 600 wineboot -i >/dev/null 2>&1; wineserver -w";
        std::system(line.c_str());
    }
    ::close(lock);
    if (!fs::exists(prefix / "system.reg"))
        throw std::runtime_error("wineboot made no prefix in " + prefix.string());
    return prefix;
}

fs::path CopyOfTemplate(const TempDir& dir) {
    fs::path prefix = dir.path() / "prefix";
    CopyTemplateTo(prefix);
    return prefix;
}

void CopyTemplateTo(const fs::path& prefix) {
    fs::path from = TemplatePrefix();
    fs::create_directories(prefix / "dosdevices");
    for (const char* name : {"system.reg", "user.reg", "userdef.reg", ".update-timestamp"})
        fs::copy_file(from / name, prefix / name);
    fs::create_directory_symlink(from / "drive_c", prefix / "drive_c");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
}

std::string WinePath(const fs::path& path) {
    std::string text = "Z:" + path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

ExportedKeys ParseWineExport(const fs::path& file) {
    std::string bytes = ReadFile(file);
    std::u16string units;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) // after the byte order mark
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    std::string text = store::wine::Utf8FromUtf16(units);
    ExportedKeys keys;
    std::map<std::string, ExportedValue>* current = nullptr;
    std::istringstream lines(text);
    std::string line;
    auto unescape = [](const std::string& quoted, std::size_t& i) {
        std::string out;
        for (++i; i < quoted.size() && quoted[i] != '"'; ++i) {
            if (quoted[i] == '\\' && i + 1 < quoted.size()) {
                char e = quoted[++i];
                out += e == 'n' ? '\n' : e == 'r' ? '\r' : e == '0' ? '\0' : e;
            } else {
                out += quoted[i];
            }
        }
        ++i;
        return out;
    };
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with("[")) {
            current = &keys[line.substr(1, line.size() - 2)];
            continue;
        }
        if (!current || (line[0] != '"' && line[0] != '@')) continue;
        std::size_t i = 0;
        std::string name = line[0] == '@' ? (i = 1, std::string()) : unescape(line, i);
        std::string data = line.substr(i + 1);
        while (!data.empty() && data.back() == '\\' && std::getline(lines, line)) {
            data.pop_back();
            if (!line.empty() && line.back() == '\r') line.pop_back();
            data += line.substr(line.find_first_not_of(' '));
        }
        ExportedValue value;
        if (data.starts_with("\"")) {
            std::size_t k = 0;
            value = {REG_SZ, unescape(data, k) + std::string(1, '\0')};
        } else if (data.starts_with("dword:")) {
            auto number = static_cast<DWORD>(std::stoul(data.substr(6), nullptr, 16));
            value = {REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4)};
        } else {
            std::size_t colon = data.find(':');
            value.type = data.starts_with("hex(") ? std::stoul(data.substr(4), nullptr, 16) : REG_BINARY;
            std::istringstream hex(data.substr(colon + 1));
            std::string byte;
            while (std::getline(hex, byte, ','))
                if (!byte.empty()) value.data += static_cast<char>(std::stoul(byte, nullptr, 16));
            if (value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ) {
                std::u16string wide;
                for (std::size_t k = 0; k + 1 < value.data.size(); k += 2)
                    wide.push_back(
                        static_cast<char16_t>(static_cast<unsigned char>(value.data[k]) |
                                              (static_cast<unsigned char>(value.data[k + 1]) << 8)));
                value.data = store::wine::Utf8FromUtf16(wide);
            }
        }
        (*current)[name] = value;
    }
    return keys;
}

} // namespace hw::test
