#include "util/program_dir.h"

#include <filesystem>
#include <system_error>

namespace hw::util {

namespace fs = std::filesystem;

std::string ProgramFileName() {
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.string();
}

std::string ProgramDir() {
    std::string file = ProgramFileName();
    std::size_t slash = file.rfind('/');
    if (slash == std::string::npos) return {};
    // The program in / itself keeps its one slash.
    return slash == 0 ? std::string("/") : file.substr(0, slash);
}

std::string ProgramPath() {
    std::string dir = ProgramDir();
    if (dir.empty() || dir.back() != '/') dir.push_back('/');
    return dir;
}

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
    // Greedy match with one backtrack point (the last *): linear in practice, never exponential.
    std::size_t n = 0, p = 0;
    std::size_t starAt = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            starName = n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string ListFiles(const std::string& dir, const std::string& pattern) {
    if (dir.empty()) return {};
    std::string full = dir;
    if (full.back() != '/') full.push_back('/');
    full += pattern;
    std::size_t slash = full.rfind('/');
    const std::string folder = full.substr(0, slash + 1);
    const std::string namePattern = full.substr(slash + 1);

    std::string names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        std::string name = it->path().filename().string();
        if (!MatchesWildcard(name, namePattern)) continue;
        if (!names.empty()) names += "\r\n";
        names += name;
    }
    return names;
}

std::string ListProgramFiles(const std::string& pattern) {
    return ListFiles(ProgramDir(), pattern);
}

} // namespace hw::util
