// The modes that run without a window: import, export and delete jobs, the usage text and the association
// switches. Each returns the process's exit status and reports a failure as one line on the error stream.
#pragma once

#include "app/command_line.h"

#include <iosfwd>

namespace hw::app {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// An export that was written without the names holding line ends.
inline constexpr int kExitLeftOut = 3;

// The import result (0 success, 1 unknown header, 2 partly imported, 3 missing file); 1 when the
// question is declined.
int RunImportJob(const CommandLine& commandLine, std::ostream& errors);
// 1 when the key does not exist or the file cannot be written, 2 without a key or file name, 3 when names
// holding line ends were left out of the written file.
int RunExportJob(const CommandLine& commandLine, std::ostream& errors);
// 1 when the key or value does not exist or is not deleted, 2 without a key name.
int RunDeleteJob(const CommandLine& commandLine, std::ostream& errors);

// Runs a mode that needs no window and commits the registry's pending writes afterwards.
int RunCommandLineMode(const CommandLine& commandLine, std::ostream& output, std::ostream& errors);

} // namespace hw::app
