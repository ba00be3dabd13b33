#include "ui/file_messages.h"

#include "i18n/name_list.h"
#include "i18n/text_table.h"

#include <filesystem>

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

std::string ExportedFileText(const std::string& fileName) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(fileName, error);
    return i18n::FormatText(i18n::Text::FileExported, {std::filesystem::path(fileName).filename().string(),
                                                       std::to_string(error ? 0 : size)});
}

std::string RowsReplacedText(std::size_t replaced, std::size_t rows) {
    return i18n::FormatText(i18n::Text::RowsReplaced, {std::to_string(replaced), std::to_string(rows)});
}

std::string WithLines(std::string text, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        text += "\n" + line;
    return text;
}

} // namespace hw::ui
