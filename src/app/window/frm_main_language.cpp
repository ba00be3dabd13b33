// The main window's Language menu and its texts from the text table.
#include "app/window/frm_main.h"

#include "app/window/flat_panel_button.h"
#include "app/window/ui_text.h"
#include "app/window/value_list_model.h"
#include "i18n/language.h"

#include <QLabel>
#include <QMenu>
#include <QStringList>

namespace hw::window {

void TfrmMain::BuildLanguageMenu() {
    for (const std::string& name : i18n::LanguageNames()) {
        QAction* item = mnitmLanguage->addAction(QString::fromUtf8(name));
        connect(item, &QAction::triggered, this, [name] { i18n::ApplyLanguageByName(name); });
    }
    languageSubscription_ = i18n::OnLanguageChanged([this] { ApplyMainTexts(); });
}

void TfrmMain::ApplyToolHints() {
    QAction* const toolButtons[] = {acExportCurrentKey,
                                    acExportWholeRegistry,
                                    acImportRegistryFile,
                                    acEditRegistryFile,
                                    acFind,
                                    acRefresh,
                                    acGoTo,
                                    acAddToFavorites,
                                    acKeyContent,
                                    acRegKeyContentEditor,
                                    acHexEditor};
    int hint = 57;
    for (QAction* button : toolButtons)
        button->setToolTip(UiText(hint++));
    acEmail->setToolTip(UiText(69));
}

void TfrmMain::ApplyMainTexts() {
    ApplyToolHints();

    const std::pair<QMenu*, int> menus[] = {
        {mnitmRegistry, 72},   {mnitmControl, 79},    {mnitmEdit, 84},          {mnitmNew, 85},
        {mnitmKey, 97},        {mnitmValue, 102},     {mnitmView, 111},         {mnitmTool, 114},
        {mnitmFavorites, 118}, {mnitmLanguage, 121},  {mnitmMagicSetting, 123}, {mnitmHelp, 124},
        {pppmnitmKeyNew, 85},  {pppmnitmValueNew, 85}};
    for (const auto& [menu, number] : menus)
        menu->setTitle(UiText(number));

    const std::pair<QAction*, int> items[] = {{acExportCurrentKey, 73},
                                              {acExportWholeRegistry, 74},
                                              {acImportRegistryFile, 75},
                                              {acEditRegistryFile, 76},
                                              {mnitmPrintKeyContent, 77},
                                              {acExit, 78},
                                              {acRefresh, 80},
                                              {mnitmRefreshAll, 81},
                                              {acGoTo, 82},
                                              {mnitmGoToLast, 83},
                                              {acKeyNew, 86},
                                              {acKeyCopy, 98},
                                              {acKeyPaste, 99},
                                              {acKeyRename, 100},
                                              {acKeyDelete, 101},
                                              {acValueEdit, 103},
                                              {acValueCopy, 104},
                                              {acValuePaste, 105},
                                              {acValueRename, 106},
                                              {acValueDelete, 107},
                                              {acValueSelectAll, 108},
                                              {acFind, 109},
                                              {mnitmReplace, 110},
                                              {acCurrentKey, 112},
                                              {acKeyContent, 113},
                                              {acRegKeyContentEditor, 115},
                                              {acHexEditor, 116},
                                              {acOPALExplorer, 117},
                                              {acAddToFavorites, 119},
                                              {mnitmFavoritesManage, 120},
                                              {mnitmLanguageDefault, 122},
                                              {mnitmContent, 125},
                                              {mnitmHomepage, 126},
                                              {acEmail, 128},
                                              {mnitmAbout, 130},
                                              {mnitmSetAsDefaultLanguage, 264}};
    for (const auto& [item, number] : items)
        item->setText(UiText(number));
    int newValueText = 87;
    for (QAction* action : acValueNew)
        action->setText(UiText(newValueText++));

    pnlAddress->setText(UiText(131));
    pnlGo->SetCaption(UiText(132));
    pnlRoot->SetCaption(UiText(133));
    valueModel_->SetColumnTitles({UiText(134), UiText(135), UiText(136), UiText(137)});
}

} // namespace hw::window
