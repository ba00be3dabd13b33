#include "app/window/names_notice.h"

#include "app/window/value_rows.h"

namespace hw::window {

namespace {

constexpr std::size_t kNamesShown = 10;

} // namespace

std::string NamesNotice(const std::string& heading, const std::vector<std::string>& names) {
    std::string text = heading;
    for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i)
        text += "\n" + (names[i].empty() ? std::string(kDefaultValueCaption) : names[i]);
    if (names.size() > kNamesShown)
        text += "\n... and " + std::to_string(names.size() - kNamesShown) + " more";
    return text;
}

} // namespace hw::window
