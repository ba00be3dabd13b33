#include "ui/file_messages.h"

#include "i18n/name_list.h"
#include "i18n/text_table.h"

namespace hw::ui {

std::string CannotWriteFileText(const std::string& fileName) {
    return i18n::FormatText(i18n::Text::CannotWriteFile, {fileName});
}

std::string CannotReadFileText(const std::string& fileName) {
    return i18n::FormatText(i18n::Text::CannotReadFile, {fileName});
}

std::string LeftOutNamesText(const std::vector<std::string>& leftOut) {
    return i18n::NameListText(i18n::LookupText(i18n::Text::NamesWithLineEnds), leftOut);
}

std::string ImportStoppedText(std::uint64_t bytesDone) {
    return i18n::FormatText(i18n::Text::ImportStopped, {std::to_string(bytesDone)});
}

std::string WithLines(std::string text, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        text += "\n" + line;
    return text;
}

} // namespace hw::ui
