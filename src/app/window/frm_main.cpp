#include "app/window/frm_main.h"

#include "app/window/font_scale.h"
#include "app/window/frm_about.h"
#include "app/window/registry_browser.h"
#include "app/windows_dir.h"
#include "content/favorites_file.h"
#include "i18n/text_table.h"
#include "platform/registry_store.h"
#include "regfile/reg_export.h"
#include "ui/elided_label.h"
#include "ui/image_list.h"
#include "util/dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>
#include <exception>

namespace hw::window {

namespace {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 468;
constexpr int kStatusHeight = 19;

} // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent), facts_(platform::GetPlatformFacts()) {
    setObjectName("TfrmMain");
    setWindowTitle("Torva Hivewright");
    setWindowIcon(ui::ProgramIcon());
    resize(static_cast<int>(kWindowWidth * FontScale(*this)),
           static_cast<int>(kWindowHeight * FontScale(*this)));

    CreateLayout();
    CreateCommands();
    CreateMenus();
    CreateToolBar();
    ConnectBrowser();
    ConnectCommands();
    RunCreationSteps();
    CentreOnScreen();
    QApplication::instance()->installEventFilter(this);
}

void TfrmMain::CentreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(std::min(width(), available.width()), std::min(height(), available.height()));
        move(available.center() - rect().center());
    }
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::AttachDialogs(const MainDialogs& dialogs) {
    dialogs_ = dialogs;
}

void TfrmMain::CreateLayout() {
    brwsrRegistry = new RegistryBrowser(facts_, this);
    setCentralWidget(brwsrRegistry);

    // One panel across the window: long paths keep their ends.
    sttsbrMain = new ui::ElidedLabel;
    sttsbrMain->setObjectName("sttsbrMain");
    statusBar()->setMinimumHeight(kStatusHeight);
    statusBar()->setSizeGripEnabled(true);
    statusBar()->addWidget(sttsbrMain, 1);
}

void TfrmMain::RunCreationSteps() {
    try {
        favorites_ = {};
        regFileHeader_ = regfile::RegFileHeader();
        windowsDir_ = app::ReadWindowsDir(facts_);
        favorites_ =
            content::FavoritesList(content::ReadFavoritesFile(content::FavoritesFilePath(windowsDir_)));
        firstSelectionDone_ = false;
        brwsrRegistry->ListRoots();
        for (const std::string& name : favorites_.Names())
            AddFavoriteMenuEntry(name);
        BuildLanguageMenu();
        setAcceptDrops(true);
    } catch (const std::exception&) {
        util::ErrorBox(i18n::LookupText(i18n::Text::AccessRegistryError));
    }
}

QString TfrmMain::StatusText() const {
    return sttsbrMain->text();
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (firstShowDone_) return;
    firstShowDone_ = true;
    i18n::ApplyStartLanguage();
    // Every menu title stays in the bar, whichever shipped language is chosen later.
    const int menuWidth = MenuBarWidthInEveryLanguage() + (frameGeometry().width() - width());
    if (width() < menuWidth) {
        resize(menuWidth, height());
        CentreOnScreen();
    }
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (dialogs_.frmAbout && dialogs_.frmAbout->KeepOpen()) {
        event->ignore();
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        show();
        raise();
        activateWindow();
        return;
    }
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint)) setWindowFlag(Qt::WindowStaysOnTopHint, false);
    valueClipboard_.Empty();
    event->accept();
    SaveFavorites();
    // Changes the store still holds are written now, while a failure can still be shown.
    if (const std::string unsaved = platform::FlushRegistry(); !unsaved.empty()) util::ErrorBox(unsaved);
    emit closed();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
        type == QEvent::MouseButtonDblClick) {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        auto* widget = qobject_cast<QWidget*>(watched);
        if ((button == Qt::BackButton || button == Qt::ForwardButton) && widget && widget->window() == this) {
            // Acting on the press alone; no view below sees the button as a click of its own.
            if (type == QEvent::MouseButtonPress) (button == Qt::BackButton ? acBack : acForward)->trigger();
            return true;
        }
    }
    return false;
}

} // namespace hw::window
