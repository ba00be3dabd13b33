#include "i18n/name_list.h"

#include "i18n/text_table.h"

namespace hw::i18n {

namespace {

// A notice box stays on the screen however many names there are.
constexpr std::size_t kNamesShown = 10;

} // namespace

std::string NameListText(const std::string& heading, const std::vector<std::string>& names) {
    std::string text = heading;
    for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i)
        text += "\n" + names[i];
    if (names.size() > kNamesShown)
        text += "\n" + FormatText(Text::AndMore, {std::to_string(names.size() - kNamesShown)});
    return text;
}

} // namespace hw::i18n
