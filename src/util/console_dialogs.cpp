#include "util/console_dialogs.h"

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace hw::util {

void ConsoleMessageBoxBackend::Show(MessageKind, const std::string& caption, const std::string& text) {
    std::cerr << caption << ": " << text << std::endl;
}

bool ConsoleMessageBoxBackend::Ask(const std::string& caption, const std::string& text) {
    std::cerr << caption << ": " << text << std::endl;
    // A job run from a script must never hang waiting for an answer nobody can give.
    if (!isatty(STDIN_FILENO)) return false;
    std::string answer;
    while (true) {
        std::cerr << "[y/n] " << std::flush;
        if (!std::getline(std::cin, answer)) return false;
        if (answer == "y" || answer == "Y") return true;
        if (answer == "n" || answer == "N") return false;
    }
}

} // namespace hw::util
