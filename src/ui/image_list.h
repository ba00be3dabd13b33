// The shared picture list imglstMain: the tree, the lists, the menus, the tool bar and the dialog buttons of
// every window take their pictures from it by number.
#pragma once

#include <QIcon>
#include <QList>

namespace hw::ui {

// Picture numbers. Numbers without a constant are empty (a null icon).
enum ImageIndex : int {
    kImgKeyClosed = 0,
    kImgKeyOpen = 1, // the selected key
    kImgValueBytes = 2,
    kImgValueNumber = 3,
    kImgValueText = 4,
    kImgVersionInfo = 5, // registration file version line
    kImgExportKey = 6,
    kImgExportRegistry = 7,
    kImgLoad = 8,
    kImgSave = 9,
    kImgRefresh = 10,
    kImgGoTo = 11,
    kImgFavoriteAdd = 12,
    kImgImport = 13,
    kImgPrint = 14,
    kImgEdit = 15,
    kImgClose = 16,
    kImgMagicSetting = 17, // the magic setting menu and the OPAL Explorer's Control menu
    kImgOperate = 18,      // the OPAL Explorer's Operate menu
    kImgHexEditor = 19,
    kImgMail = 20, // suggest or question
    kImgNameMatch = 21,
    kImgCut = 22,
    kImgCopy = 23,
    kImgPaste = 24,
    kImgDelete = 25,
    kImgFind = 26,
    kImgKeyContent = 27,
    kImgRegFileEdit = 28, // edit a registration file / the key content editor
    kImgOk = 32,
    kImgAll = 33,
    kImgNo = 34, // also a Stop button
    kImgCancel = 35,
    kImgView = 37,
    kImgPage = 38, // an OPAL page / the OPAL Explorer
    kImgUndo = 39,
    kImgRedo = 40,
    kImageCount = 41,
};

// All pictures, indexed by number (kImageCount entries); built on first use, needs a QGuiApplication.
const QList<QIcon>& imglstMain();
// The picture with that number; a null icon for an empty or out-of-range number.
QIcon ImageListIcon(int index);

// The about box's picture (not part of the numbered list).
QIcon ProgramIcon();

} // namespace hw::ui
