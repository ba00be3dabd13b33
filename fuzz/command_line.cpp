// Fuzzes the command-line parser: arguments are the input split at NUL bytes.
#include "app/command_line.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back().push_back(static_cast<char>(data[i]));
    }
    const hw::app::CommandLine parsed = hw::app::ParseCommandLine(arguments);
    // Extracted names are pieces of what was typed, never longer than it.
    std::size_t total = size;
    if (parsed.fileName.size() > total || parsed.keyName.size() > total || parsed.valueName.size() > total)
        std::abort();
    return 0;
}
