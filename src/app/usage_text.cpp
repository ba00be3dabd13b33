#include "app/usage_text.h"

#include <array>
#include <string_view>

namespace hw::app {
namespace {

constexpr std::size_t kSwitchColumnWidth = 42;

struct UsageLine {
    std::string_view switchPart; // empty for a continuation line
    std::string_view explanation;
};

constexpr std::array kSwitchLines = {
    UsageLine{"/import /file:<filename>", "\"filename\" is with registry file you wanna import"},
    UsageLine{"/export /file:<filename> /key:<keyname>", "\"filename\" key content save as witch name,"},
    UsageLine{"", "\"keyname\" means withch key you wanna export,Like this:"},
    UsageLine{"", "HKEY_CURRENT_USER\\Software\\Microsoft"},
    UsageLine{"/del /key:<keyname> /value:<valuename>",
              "Delete special value,if value is empty,will delete whole key with the name"},
    UsageLine{"/? or /help", "you will get help command like this"},
    UsageLine{"/.reg /file:<filename>",
              "\"filename\" registry file will be opened with \"Key Content Editor\""},
    UsageLine{"/bin /file:<filename>", "\"filename\" will be opened with \"Hex Editor\""},
    UsageLine{"/.opal /file:<filename>",
              "\"filename\" will view by \"OPAL Explorer\",you can set your system"},
    UsageLine{"", "or view OPAL source code"},
    UsageLine{"/reg", "Register *.OPAL and *.REG file can be operated by Hivewright"},
    UsageLine{"/unreg", "Unregister *.OPAL and *.REG file can be operated by Hivewright"},
};

constexpr std::string_view kFirstLine =
    "Hivewright: a registry editor that works through its window, with OPAL files and from the command line.";
constexpr std::string_view kNormalStartLine = "any other will start with Hivewright in normal way";
constexpr std::string_view kClosingLine =
    "In a shell, quote every switch holding < or >, or use: hivewright --import FILE [--yes] | "
    "--export KEY FILE | --delete KEY [VALUE] | --help | --opal FILE | --edit-reg FILE | --hex FILE "
    "(a /file:<...> name ends at its first >; these options take any name)";
constexpr std::string_view kRegistryLine =
    "The registry to work on comes first: --wine-prefix PATH | --hive FILE[=KEY] (repeatable; a missing "
    "FILE becomes an empty hive) | --windows-root PATH [--windows-user NAME]; --read-only changes nothing";

void AppendLine(std::string& text, std::string_view switchPart, std::string_view explanation) {
    text += switchPart;
    text.append(kSwitchColumnWidth - switchPart.size(), ' ');
    text += explanation;
    text += '\n';
}

} // namespace

std::string UsageText() {
    std::string text;
    text += kFirstLine;
    text += "\n\n";
    for (const UsageLine& line : kSwitchLines)
        AppendLine(text, line.switchPart, line.explanation);
    text += "\n\n";
    AppendLine(text, "", kNormalStartLine);
    text += '\n';
    text += kClosingLine;
    text += '\n';
    text += kRegistryLine;
    text += '\n';
    return text;
}

} // namespace hw::app
