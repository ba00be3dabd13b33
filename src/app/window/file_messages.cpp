#include "app/window/file_messages.h"

namespace hw::window {

namespace {

constexpr std::size_t kNamesShown = 10;

} // namespace

std::string CannotWriteFileText(const std::string& fileName) {
    return "Could not write file:[" + fileName + "]";
}

std::string CannotReadFileText(const std::string& fileName) {
    return "Could not read file:[" + fileName + "]";
}

std::string LeftOutNamesText(const std::vector<std::string>& leftOut) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < leftOut.size() && i < kNamesShown; ++i)
        lines.push_back(leftOut[i]);
    if (leftOut.size() > kNamesShown)
        lines.push_back("... and " + std::to_string(leftOut.size() - kNamesShown) + " more");
    return WithLines("These names hold line ends, which a registry file cannot carry; they were left out:",
                     lines);
}

std::string ImportStoppedText(std::uint64_t bytesDone) {
    return "Import stopped after " + std::to_string(bytesDone) +
           " bytes of the file; what was read before that stays in the Registry.";
}

std::string WithLines(std::string text, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        text += "\n" + line;
    return text;
}

} // namespace hw::window
