#include "app/program_process.h"

#include "util/program_dir.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace hw::test {

std::string ProgramPath() {
    const char* binaryDir = std::getenv("HIVEWRIGHT_TEST_BINARY_DIR");
    const std::string program = binaryDir && *binaryDir ? std::string(binaryDir) + "/hivewright"
                                                        : util::ProgramDir() + "/../hivewright";
    return std::filesystem::exists(program) ? program : std::string();
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

ProgramProcess::ProgramProcess(const std::vector<std::string>& env, const std::vector<std::string>& arguments,
                               const std::string& errorsFile, const std::string& prefix)
    : errorsFile_(errorsFile) {
    std::string command = "exec env -u DISPLAY -u WAYLAND_DISPLAY";
    for (const std::string& setting : env)
        command += " " + ShellQuoted(setting);
    command += " " + prefix + " " + ShellQuoted(ProgramPath());
    for (const std::string& argument : arguments)
        command += " " + ShellQuoted(argument);
    command += " </dev/null >/dev/null 2>" + ShellQuoted(errorsFile);
    pid_ = fork();
    if (pid_ == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

ProgramOutcome ProgramProcess::Wait() {
    ProgramOutcome outcome;
    int raw = 0;
    if (pid_ > 0 && waitpid(pid_, &raw, 0) == pid_ && WIFEXITED(raw)) outcome.status = WEXITSTATUS(raw);
    std::ifstream file(errorsFile_, std::ios::binary);
    outcome.errors.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return outcome;
}

ProgramOutcome RunProgram(const std::vector<std::string>& env, const std::vector<std::string>& arguments,
                          const std::string& errorsFile, const std::string& prefix) {
    return ProgramProcess(env, arguments, errorsFile, prefix).Wait();
}

} // namespace hw::test
