// INI ("private profile") files: sections in square brackets holding key=value lines. Section names and
// keys are compared without regard to ASCII letter case; a value is everything after the first "=".
#pragma once

#include <string>
#include <vector>

namespace hw::platform {

// Every entry line of the section in file order, without its line ending or leading blanks; blank and
// ";" comment lines are left out. Nothing when the file or the section does not exist.
std::vector<std::string> ReadProfileSection(const std::string& fileName, const std::string& section);

// The value of the first line with key in the section, without blanks at either end; defaultValue when
// the file, the section or the key does not exist.
std::string ReadProfileString(const std::string& fileName, const std::string& section, const std::string& key,
                              const std::string& defaultValue);

// Sets key=value in the section: replaces the key's first line, or adds the line (and the section) when
// missing, creating the file if needed. Every other line stays byte for byte, new lines take the file's
// line ending (CR LF for a new file), and the file is replaced atomically. False when the file cannot be
// read or written, or when a name or the value would break the file's lines.
bool WriteProfileString(const std::string& fileName, const std::string& section, const std::string& key,
                        const std::string& value);

} // namespace hw::platform
