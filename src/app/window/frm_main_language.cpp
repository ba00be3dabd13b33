// The main window's Language menu and its texts from the text table.
#include "app/window/frm_main.h"

#include "app/window/value_list_model.h"
#include "i18n/builtin_texts.h"
#include "i18n/language.h"
#include "platform/ini_profile.h"
#include "ui/flat_panel_button.h"
#include "ui/ui_text.h"

#include <functional>

#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStringList>

namespace hw::window {

namespace {

const char* const kLanguageNameProperty = "languageName";
// The main menu's titles, by text number.
constexpr int kMenuTitleTexts[] = {72, 79, 84, 111, 114, 118, 121, 123, 124};

QString WithoutMnemonic(QString text) {
    return text.remove(QRegularExpression("&(?!&)"));
}

} // namespace

void TfrmMain::BuildLanguageMenu() {
    auto* group = new QActionGroup(mnitmLanguage);
    for (const std::string& name : i18n::LanguageNames()) {
        QAction* item = mnitmLanguage->addAction(QString::fromUtf8(name));
        item->setCheckable(true);
        item->setProperty(kLanguageNameProperty, QString::fromStdString(name));
        group->addAction(item);
        connect(item, &QAction::triggered, this, [name] { i18n::ApplyLanguageByName(name); });
    }
    languageSubscription_ = i18n::OnLanguageChanged([this] { ApplyMainTexts(); });
}

void TfrmMain::MarkCurrentLanguage() {
    const std::string& current = i18n::CurrentLanguage();
    for (QAction* item : mnitmLanguage->actions()) {
        const QVariant name = item->property(kLanguageNameProperty);
        if (name.isValid())
            item->setChecked(!current.empty() &&
                             i18n::LanguageSectionOfName(name.toString().toStdString()) == current);
    }
}

int TfrmMain::MenuBarWidthInEveryLanguage() const {
    const QFontMetrics metrics = menuBar()->fontMetrics();
    auto titlesWidth = [&metrics](const std::function<QString(int)>& title) {
        int width = 0;
        for (int number : kMenuTitleTexts)
            width += metrics.horizontalAdvance(WithoutMnemonic(title(number)));
        return width;
    };
    // What the bar adds around its titles, measured on the titles it shows now.
    const int current = titlesWidth([](int number) { return ui::UiText(number); });
    const int chrome = menuBar()->sizeHint().width() - current;
    int widest = current;
    for (const std::string& name : i18n::LanguageNames()) {
        const std::string section = i18n::LanguageSectionOfName(name);
        widest = std::max(widest, titlesWidth([&section](int number) {
                              const std::string text = platform::ReadProfileString(
                                  i18n::LanguageFilePath(), section, std::to_string(number), "");
                              return text.empty() ? QString::fromUtf8(i18n::kBuiltInTexts[number])
                                                  : QString::fromStdString(text);
                          }));
    }
    return widest + chrome;
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
        button->setToolTip(ui::UiText(hint++));
    acEmail->setToolTip(ui::UiText(69));
}

void TfrmMain::ApplyMainTexts() {
    ApplyToolHints();
    MarkCurrentLanguage();

    const std::pair<QMenu*, int> menus[] = {
        {mnitmRegistry, 72},   {mnitmControl, 79},    {mnitmEdit, 84},          {mnitmNew, 85},
        {mnitmKey, 97},        {mnitmValue, 102},     {mnitmView, 111},         {mnitmTool, 114},
        {mnitmFavorites, 118}, {mnitmLanguage, 121},  {mnitmMagicSetting, 123}, {mnitmHelp, 124},
        {pppmnitmKeyNew, 85},  {pppmnitmValueNew, 85}};
    for (const auto& [menu, number] : menus)
        menu->setTitle(ui::UiText(number));

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
                                              {mnitmSetAsDefaultLanguage, 264},
                                              {acOpenWinePrefix, 300},
                                              {acOpenOwnRegistry, 301}};
    for (const auto& [item, number] : items)
        item->setText(ui::UiText(number));
    int newValueText = 87;
    for (QAction* action : acValueNew)
        action->setText(ui::UiText(newValueText++));

    if (auto* noPages = mnitmMagicSetting->findChild<QAction*>(kNoPagesItem))
        noPages->setText(ui::UiText(kNoPagesText));
    pnlAddress->setText(ui::UiText(131));
    pnlGo->SetCaption(ui::UiText(132));
    pnlRoot->SetCaption(ui::UiText(133));
    valueModel_->SetColumnTitles({ui::UiText(134), ui::UiText(135), ui::UiText(136), ui::UiText(137)});
}

} // namespace hw::window
