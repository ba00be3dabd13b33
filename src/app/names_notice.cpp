#include "app/names_notice.h"

#include "i18n/name_list.h"
#include "i18n/text_table.h"

namespace hw::app {

std::string NamesNotice(const std::string& heading, const std::vector<std::string>& names) {
    std::vector<std::string> captions;
    captions.reserve(names.size());
    for (const std::string& name : names)
        captions.push_back(name.empty() ? i18n::LookupText(i18n::Text::UnknownName) : name);
    return i18n::NameListText(heading, captions);
}

} // namespace hw::app
