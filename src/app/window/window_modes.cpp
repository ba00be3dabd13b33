#include "app/window/window_modes.h"

#include "app/window/commit_failure_watch.h"
#include "app/window/frm_about.h"
#include "app/window/frm_current_key.h"
#include "app/window/frm_goto.h"
#include "app/window/frm_main.h"
#include "app/window/frm_replace_confirm.h"
#include "app/window/hivewright_application.h"
#include "content/window/frm_favorites.h"
#include "content/window/frm_key_content.h"
#include "editors/window/button_pictures.h"
#include "editors/window/frm_bin.h"
#include "editors/window/frm_dword.h"
#include "editors/window/frm_str.h"
#include "i18n/language.h"
#include "markup/associations.h"
#include "markup/window/opal_explorer.h"
#include "platform/qt/qt_message_boxes.h"
#include "search/window/frm_find.h"
#include "ui/image_list.h"
#include "ui/window_places.h"
#include "util/program_dir.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>

namespace hw::window {

namespace {

int RunNormalMode(int& argc, char** argv) {
    try {
        markup::CheckAssociations(util::ProgramFileName());
    } catch (const std::exception&) {
        // An unusable registry is the main window's to report.
    }
    HivewrightApplication application(argc, argv);
    const ui::WindowPlaces windowPlaces(ui::WindowPlaces::UserSettingsFile());
    platform::InstallQtMessageBoxes();
    editors::SetButtonPictureSource(ui::ImageListIcon);
    CommitFailureWatch commitFailureWatch;

    // The main window comes first: it is the application's main window and its closing ends the run.
    auto frmMain = std::make_unique<TfrmMain>();
    auto frmGoTo = std::make_unique<TfrmGoTo>();
    auto frmCurrentKey = std::make_unique<TfrmCurrentKey>();
    auto frmAbout = std::make_unique<TfrmAbout>();
    auto frmStr = std::make_unique<editors::TfrmStr>();
    auto frmDword = std::make_unique<editors::TfrmDword>();
    auto frmReplaceConfirm = std::make_unique<TfrmReplaceConfirm>();
    auto frmBin = std::make_unique<editors::TfrmBin>();
    frmBin->SetPictureFolder(frmMain->WindowsDir());
    auto frmFavorites = std::make_unique<content::TfrmFavorites>();
    auto frmFind = std::make_unique<TfrmFind>(frmMain->FindHost(), TfrmFind::Role::Find);
    auto frmReplace = std::make_unique<TfrmFind>(frmMain->FindHost(), TfrmFind::Role::Replace);
    auto frmKeyContent = std::make_unique<content::TfrmKeyContent>();
    frmKeyContent->SetVersionLine(frmMain->RegFileHeader());
    frmMain->AttachDialogs({.frmGoTo = frmGoTo.get(),
                            .frmCurrentKey = frmCurrentKey.get(),
                            .frmAbout = frmAbout.get(),
                            .frmStr = frmStr.get(),
                            .frmDword = frmDword.get(),
                            .frmReplaceConfirm = frmReplaceConfirm.get(),
                            .frmFavorites = frmFavorites.get(),
                            .frmFind = frmFind.get(),
                            .frmReplace = frmReplace.get(),
                            .frmBin = frmBin.get(),
                            .frmKeyContent = frmKeyContent.get()});
    // Texts are applied window by window in this order, after the main window's own.
    const i18n::LanguageSubscription languageSubscriptions[] = {
        i18n::OnLanguageChanged([&frmAbout] { frmAbout->ApplyLanguage(); }),
        i18n::OnLanguageChanged([&frmCurrentKey] { frmCurrentKey->ApplyLanguage(); }),
        i18n::OnLanguageChanged([&frmFavorites] { frmFavorites->ApplyLanguage(); }),
        i18n::OnLanguageChanged([&frmGoTo] { frmGoTo->ApplyLanguage(); }),
        i18n::OnLanguageChanged([&frmStr] { frmStr->ApplyLanguage(); }),
        i18n::OnLanguageChanged([&frmDword] { frmDword->ApplyLanguage(); }),
        i18n::OnLanguageChanged([&frmReplaceConfirm] { frmReplaceConfirm->ApplyLanguage(); }),
        i18n::OnLanguageChanged([&frmFind] { frmFind->ApplyLanguage(); }),
        i18n::OnLanguageChanged([&frmReplace] { frmReplace->ApplyLanguage(); }),
        i18n::OnLanguageChanged([&frmBin] { frmBin->ApplyLanguage(); }),
        i18n::OnLanguageChanged([&frmKeyContent] { frmKeyContent->ApplyLanguage(); }),
    };

    application.setQuitOnLastWindowClosed(false);
    QObject::connect(frmMain.get(), &TfrmMain::closed, &application, &QApplication::quit);
    frmMain->show();
    return application.exec();
}

// The key content editor as the only window, with the file loaded; the main window stays hidden behind it.
int RunRegFileMode(const std::string& fileName, int& argc, char** argv) {
    HivewrightApplication application(argc, argv);
    platform::InstallQtMessageBoxes();

    // The editor comes first: it is the application's main window and its closing ends the run.
    auto frmKeyContent = std::make_unique<content::TfrmKeyContent>();
    auto frmMain = std::make_unique<TfrmMain>();
    frmMain->AttachDialogs({.frmKeyContent = frmKeyContent.get()});
    frmKeyContent->SetVersionLine(frmMain->RegFileHeader());
    const i18n::LanguageSubscription languageSubscription =
        i18n::OnLanguageChanged([&frmKeyContent] { frmKeyContent->ApplyLanguage(); });
    i18n::ApplyStartLanguage();
    std::error_code error;
    if (!fileName.empty() && std::filesystem::is_regular_file(fileName, error))
        frmKeyContent->LoadFromFile(fileName);

    application.setQuitOnLastWindowClosed(false);
    QObject::connect(frmKeyContent.get(), &content::TfrmKeyContent::closed, &application,
                     &QApplication::quit);
    frmKeyContent->show();
    return application.exec();
}

// The hex editor is the only window: closing it ends the run. The main window exists, hidden, for the
// pictures, the texts and the settings.
int RunHexEditorMode(const std::string& fileName, int& argc, char** argv) {
    HivewrightApplication application(argc, argv);
    platform::InstallQtMessageBoxes();
    editors::SetButtonPictureSource(ui::ImageListIcon);

    auto frmBin = std::make_unique<editors::TfrmBin>();
    auto frmMain = std::make_unique<TfrmMain>();
    frmBin->SetPictureFolder(frmMain->WindowsDir());
    frmMain->AttachDialogs({.frmBin = frmBin.get()});
    const i18n::LanguageSubscription languageSubscription =
        i18n::OnLanguageChanged([&frmBin] { frmBin->ApplyLanguage(); });
    i18n::ApplyStartLanguage();
    frmBin->HideFindCancel();
    std::error_code error;
    if (!fileName.empty() && std::filesystem::exists(fileName, error)) frmBin->OpenFile(fileName);

    application.setQuitOnLastWindowClosed(false);
    QObject::connect(frmBin.get(), &QDialog::finished, &application, &QApplication::quit);
    frmBin->SetNamedMode(false);
    frmBin->show();
    return application.exec();
}

int RunOpalMode(const std::string& fileName, int& argc, char** argv) {
    HivewrightApplication application(argc, argv);
    platform::InstallQtMessageBoxes();
    CommitFailureWatch commitFailureWatch;
    // The Explorer comes first and is the application's main window; the main window stays hidden.
    auto explorer = std::make_unique<markup::TOPALExplorer>(ui::imglstMain());
    auto frmMain = std::make_unique<TfrmMain>();
    // The hidden main window never shows, which is where the start language is applied otherwise.
    i18n::ApplyStartLanguage();
    if (!fileName.empty()) explorer->LoadFile(fileName);
    application.setQuitOnLastWindowClosed(false);
    QObject::connect(explorer.get(), &QDialog::finished, &application, &QApplication::quit);
    explorer->show();
    return application.exec();
}

} // namespace

int RunWindowMode(const hw::app::CommandLine& commandLine, int& argc, char** argv) {
    const hw::app::Mode mode = commandLine.mode;
    const bool available = mode == hw::app::Mode::Normal || mode == hw::app::Mode::RegFileWindow ||
                           mode == hw::app::Mode::OpalWindow || mode == hw::app::Mode::HexEditorWindow;
    if (!available) {
        std::fputs("hivewright: this window mode is not available yet\n", stderr);
        return 2;
    }
    try {
        if (mode == hw::app::Mode::RegFileWindow) return RunRegFileMode(commandLine.fileName, argc, argv);
        if (mode == hw::app::Mode::OpalWindow) return RunOpalMode(commandLine.fileName, argc, argv);
        if (mode == hw::app::Mode::HexEditorWindow) return RunHexEditorMode(commandLine.fileName, argc, argv);
        return RunNormalMode(argc, argv);
    } catch (const std::exception&) {
        // A failure while the windows are created ends the program quietly.
        return 0;
    }
}

} // namespace hw::window
