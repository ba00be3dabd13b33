// The registry locations the window's hive commands lead to, and a key's last-write time as the status bar
// shows it.
#pragma once

#include <cstdint>
#include <string>

namespace hw::app {

// The location with the hive file mounted under HKEY_LOCAL_MACHINE as its base name. The hives of current
// stay when current names hives; any other registry is left for the hive alone.
std::string LocationAddingHive(const std::string& current, const std::string& file);
// The location without the hive mounted at keyPath ("HKEY_LOCAL_MACHINE\NAME"); empty when current mounts no
// hive there. When no hive is left, the program's own registry.
std::string LocationWithoutHive(const std::string& current, const std::string& keyPath);

// A Windows file time as local "YYYY-MM-DD HH:MM:SS"; empty for 0 (no time kept).
std::string FileTimeText(std::uint64_t fileTime);
// The key's last-write time as FileTimeText gives it; empty when the key or its time is not there.
std::string LastWriteText(const std::string& keyPath);

} // namespace hw::app
