// The pages the Magic Setting menu lists: the *.opal files in a folder (the program's, normally).
#pragma once

#include <string>
#include <vector>

namespace hw::markup {

struct MagicSettingPage {
    std::string caption;  // the file name before its first "."
    std::string fileName; // the file itself, so that My.Page.opal opens My.Page.opal
};

// Sorted by file name, since the folder's own order means nothing here; names without a caption
// (".opal") are left out.
std::vector<MagicSettingPage> MagicSettingPages(const std::string& folder);

} // namespace hw::markup
