#include "ui/image_list.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <array>

// The resources live in a static library; referencing them keeps the linker from dropping them.
static void InitIconResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)registered;
}

namespace hw::ui {

namespace {

struct ImageFile {
    ImageIndex index;
    const char* name;
};

constexpr std::array kImageFiles{
    ImageFile{kImgKeyClosed, "key_closed"},
    ImageFile{kImgKeyOpen, "key_open"},
    ImageFile{kImgValueBytes, "value_bytes"},
    ImageFile{kImgValueNumber, "value_number"},
    ImageFile{kImgValueText, "value_text"},
    ImageFile{kImgVersionInfo, "version_info"},
    ImageFile{kImgExportKey, "export_key"},
    ImageFile{kImgExportRegistry, "export_registry"},
    ImageFile{kImgLoad, "load"},
    ImageFile{kImgSave, "save"},
    ImageFile{kImgRefresh, "refresh"},
    ImageFile{kImgGoTo, "goto"},
    ImageFile{kImgFavoriteAdd, "favorite_add"},
    ImageFile{kImgImport, "import"},
    ImageFile{kImgPrint, "print"},
    ImageFile{kImgEdit, "edit"},
    ImageFile{kImgClose, "close"},
    ImageFile{kImgMagicSetting, "magic_setting"},
    ImageFile{kImgOperate, "operate"},
    ImageFile{kImgHexEditor, "hex_editor"},
    ImageFile{kImgMail, "mail"},
    ImageFile{kImgNameMatch, "name_match"},
    ImageFile{kImgCut, "cut"},
    ImageFile{kImgCopy, "copy"},
    ImageFile{kImgPaste, "paste"},
    ImageFile{kImgDelete, "delete"},
    ImageFile{kImgFind, "find"},
    ImageFile{kImgKeyContent, "key_content"},
    ImageFile{kImgRegFileEdit, "regfile_edit"},
    ImageFile{kImgOk, "ok"},
    ImageFile{kImgAll, "all"},
    ImageFile{kImgNo, "no"},
    ImageFile{kImgCancel, "cancel"},
    ImageFile{kImgView, "view"},
    ImageFile{kImgPage, "page"},
    ImageFile{kImgUndo, "undo"},
    ImageFile{kImgRedo, "redo"},
};

// Rendered once per size: pixmaps drawn at their own size stay crisp, where a scaled 16-pixel one would blur.
QIcon IconFromSvg(const char* name, std::initializer_list<int> sizes) {
    InitIconResources();
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(QLatin1StringView(name)));
    QIcon icon;
    for (int size : sizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QList<QIcon> BuildImageList() {
    QList<QIcon> icons(kImageCount);
    for (const ImageFile& file : kImageFiles)
        icons[file.index] = IconFromSvg(file.name, {16, 24, 32});
    return icons;
}

} // namespace

const QList<QIcon>& imglstMain() {
    static const QList<QIcon> icons = BuildImageList();
    return icons;
}

QIcon ImageListIcon(int index) {
    const QList<QIcon>& icons = imglstMain();
    return index >= 0 && index < icons.size() ? icons[index] : QIcon();
}

QIcon ProgramIcon() {
    static const QIcon icon = IconFromSvg("program", {32, 40, 64});
    return icon;
}

} // namespace hw::ui
