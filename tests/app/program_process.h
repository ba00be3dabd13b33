// Runs the real program as separate processes (in parallel when asked), for tests of faults that only real
// processes meet: full disks, concurrent writers, other users.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace hw::test {

struct ProgramOutcome {
    int status = -1; // exit status; -1 when killed by a signal
    std::string errors;
};

// build/hivewright; empty when it is not built.
std::string ProgramPath();
std::string ShellQuoted(const std::string& text);

// Runs `env` (NAME=value words, may be empty), then the program with arguments, through the shell; prefix
// (e.g. "setpriv ...") goes in front of the program. Standard error goes to errorsFile.
class ProgramProcess {
  public:
    ProgramProcess(const std::vector<std::string>& env, const std::vector<std::string>& arguments,
                   const std::string& errorsFile, const std::string& prefix = {});
    ProgramOutcome Wait();

  private:
    pid_t pid_ = -1;
    std::string errorsFile_;
};

ProgramOutcome RunProgram(const std::vector<std::string>& env, const std::vector<std::string>& arguments,
                          const std::string& errorsFile, const std::string& prefix = {});

} // namespace hw::test
