#include "markup/magic_setting_pages.h"

#include "util/program_dir.h"
#include "util/text.h"

#include <algorithm>
#include <filesystem>

namespace hw::markup {

std::vector<MagicSettingPage> MagicSettingPages(const std::string& folder) {
    std::vector<std::string> names;
    util::SplitText(util::ReplaceText(util::ListFiles(folder, "*.opal"), "\r\n", "\n", false), '\n', names);
    std::sort(names.begin(), names.end());
    std::vector<MagicSettingPage> pages;
    for (const std::string& name : names) {
        std::string caption = util::TextBefore(name, ".");
        if (caption.empty()) continue;
        pages.push_back({std::move(caption), (std::filesystem::path(folder) / name).string()});
    }
    return pages;
}

} // namespace hw::markup
