// The main window's Language menu and its texts from the text table.
#include "app/window/frm_main.h"

#include "app/window/registry_browser.h"
#include "i18n/builtin_texts.h"
#include "i18n/language.h"
#include "platform/ini_profile.h"
#include "ui/command_set.h"
#include "ui/ui_text.h"

#include <functional>
#include <optional>
#include <vector>

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStringList>

namespace hw::window {

namespace {

const char* const kLanguageNameProperty = "languageName";

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
    std::vector<i18n::Text> titles;
    for (QAction* entry : menuBar()->actions())
        if (std::optional<i18n::Text> title =
                entry->menu() ? ui::CaptionTextOf(*entry->menu()) : std::nullopt)
            titles.push_back(*title);
    auto titlesWidth = [&metrics, &titles](const std::function<QString(i18n::Text)>& title) {
        int width = 0;
        for (i18n::Text text : titles)
            width += metrics.horizontalAdvance(WithoutMnemonic(title(text)));
        return width;
    };
    // What the bar adds around its titles, measured on the titles it shows now.
    const int current = titlesWidth([](i18n::Text text) { return ui::UiText(text); });
    const int chrome = menuBar()->sizeHint().width() - current;
    int widest = current;
    for (const std::string& name : i18n::LanguageNames()) {
        const std::string section = i18n::LanguageSectionOfName(name);
        widest = std::max(widest, titlesWidth([&section](i18n::Text title) {
                              const int number = i18n::TextNumber(title);
                              const std::string text = platform::ReadProfileString(
                                  i18n::LanguageFilePath(), section, std::to_string(number), "");
                              return text.empty() ? QString::fromUtf8(i18n::kBuiltInTexts[number])
                                                  : QString::fromStdString(text);
                          }));
    }
    return widest + chrome;
}

void TfrmMain::ApplyMainTexts() {
    ui::ApplyCommandTexts(*this);
    MarkCurrentLanguage();
    brwsrRegistry->ApplyTexts();
}

} // namespace hw::window
