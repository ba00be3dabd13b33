// The running program's own file and folder, and listing the files of a folder by name pattern.
#pragma once

#include <string>
#include <string_view>

namespace hw::util {

// The full file name of the running program.
std::string ProgramFileName();
// Its folder without / with a trailing separator.
std::string ProgramDir();
std::string ProgramPath();

// True when name matches pattern: * stands for any run of bytes, ? for exactly one. Case-sensitive, as
// file names are on this system.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

// The names of the plain files in dir matching pattern, in the order the file system returns them,
// joined by CR LF; empty when nothing matches or dir is empty. dir and pattern are joined with one "/";
// a pattern may carry a subfolder ("sub/*.txt").
std::string ListFiles(const std::string& dir, const std::string& pattern);
std::string ListProgramFiles(const std::string& pattern);

} // namespace hw::util
