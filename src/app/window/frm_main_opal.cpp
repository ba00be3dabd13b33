// The OPAL Explorer command and the Magic Setting menu of the main window.
#include "app/window/frm_main.h"

#include "markup/magic_setting_pages.h"
#include "markup/window/opal_explorer.h"
#include "ui/command_set.h"
#include "ui/image_list.h"
#include "util/program_dir.h"

#include <QMenu>

namespace hw::window {

namespace {

constexpr int kMagicSettingTag = 9999;
constexpr const char* kPageFileProperty = "opalPageFile";

} // namespace

void TfrmMain::ConnectOpalCommands() {
    connect(acOPALExplorer, &QAction::triggered, this, [this] { OpenOpalExplorer({}); });
    BuildMagicSettingMenu(util::ProgramDir());
}

void TfrmMain::OpenOpalExplorer(const std::string& fileName) {
    try {
        markup::TOPALExplorer explorer(ui::imglstMain(), this);
        if (!fileName.empty()) explorer.LoadFile(fileName);
        explorer.exec();
    } catch (...) {
        // Failures while the Explorer opens are ignored.
    }
}

void TfrmMain::BuildMagicSettingMenu(const std::string& folder) {
    mnitmMagicSetting->clear();
    for (const markup::MagicSettingPage& page : markup::MagicSettingPages(folder)) {
        // No accelerators of the menu's own: the caption stays as built.
        QString caption = QString::fromStdString(page.caption).replace('&', "&&");
        QAction* item = mnitmMagicSetting->addAction(ui::ImageListIcon(ui::kImgPage), caption);
        item->setData(kMagicSettingTag);
        item->setProperty(kPageFileProperty, QString::fromStdString(page.fileName));
        connect(item, &QAction::triggered, this, [this, item] { OnMagicSettingMenuItem(item); });
    }
    if (mnitmMagicSetting->isEmpty()) {
        QAction* none = mnitmMagicSetting->addAction(QString());
        ui::SetCaptionText(*none, i18n::Text::NoOpalPages);
        none->setObjectName(kNoPagesItem);
        none->setEnabled(false);
    }
}

void TfrmMain::OnMagicSettingMenuItem(QAction* item) {
    OpenOpalExplorer(item->property(kPageFileProperty).toString().toStdString());
}

} // namespace hw::window
