// The dialogs the main window opens; created after it by the window start-up and handed to it.
#pragma once

namespace hw::content {
class TfrmFavorites;
class TfrmKeyContent;
} // namespace hw::content
namespace hw::editors {
class TfrmBin;
class TfrmDword;
class TfrmStr;
} // namespace hw::editors

namespace hw::window {

class TfrmAbout;
class TfrmCurrentKey;
class TfrmFind;
class TfrmGoTo;
class TfrmReplaceConfirm;

struct MainDialogs {
    TfrmGoTo* frmGoTo = nullptr;
    TfrmCurrentKey* frmCurrentKey = nullptr;
    TfrmAbout* frmAbout = nullptr;
    editors::TfrmStr* frmStr = nullptr;
    editors::TfrmDword* frmDword = nullptr;
    TfrmReplaceConfirm* frmReplaceConfirm = nullptr;
    content::TfrmFavorites* frmFavorites = nullptr;
    TfrmFind* frmFind = nullptr;    // Find
    TfrmFind* frmReplace = nullptr; // Replace: the same window with its replace group
    editors::TfrmBin* frmBin = nullptr;
    content::TfrmKeyContent* frmKeyContent = nullptr;
};

} // namespace hw::window
