#include "app/window/frm_main.h"

#include "app/window/frm_about.h"
#include "app/window/header_sorting.h"
#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "app/windows_dir.h"
#include "content/favorites_file.h"
#include "core/root_keys.h"
#include "i18n/text_table.h"
#include "platform/registry_store.h"
#include "regfile/reg_export.h"
#include "ui/elided_label.h"
#include "ui/flat_panel_button.h"
#include "ui/image_list.h"
#include "ui/item_view_delegate.h"
#include "util/dialog.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace hw::window {

namespace {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 468;
constexpr int kTreeWidth = 209;
constexpr int kTreeIndent = 19;
constexpr int kSplitterWidth = 3;
constexpr int kMinimumPaneWidth = 20;
constexpr int kStatusHeight = 19;
constexpr int kColumnWidths[] = {120, 100, 40, 211};
// The designed widths suit a font whose letters average 5.3 pixels; wider fonts scale them. The average
// over the alphabet, not the font's own average character, is what text in the window really takes.
constexpr double kDesignLetterWidth = 5.3;
const char* const kAlphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
// A fitted name column grows to at most this many times its first width.
constexpr int kNameColumnGrowth = 2;
const char* const kLongestTypeName = "REG_RESOURCE_REQUIREMENTS_LIST";

double FontScale(const QWidget& widget) {
    const double letterWidth = widget.fontMetrics().horizontalAdvance(kAlphabet) / 52.0;
    return std::max(1.0, letterWidth / kDesignLetterWidth);
}

// The unfocused pane shows its selection in a quiet grey, as most desktops do.
void UseInactiveSelectionColours(QWidget& view) {
    QPalette palette = view.palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Window).darker(115));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::WindowText));
    view.setPalette(palette);
}

// The key pictures: a closed key, and an open one while the node is selected.
QIcon KeyPictures() {
    const QIcon closed = ui::ImageListIcon(ui::kImgKeyClosed);
    const QIcon open = ui::ImageListIcon(ui::kImgKeyOpen);
    QIcon icon;
    for (int size : {16, 24, 32}) {
        icon.addPixmap(closed.pixmap(size), QIcon::Normal);
        icon.addPixmap(open.pixmap(size), QIcon::Selected);
    }
    return icon;
}

bool IsTreeNavigationKey(int key) {
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

} // namespace

TfrmMain::TfrmMain(QWidget* parent)
    : QMainWindow(parent), facts_(platform::GetPlatformFacts()), keyModel_(new KeyTreeModel(facts_, this)),
      valueModel_(new ValueListModel(this)) {
    setObjectName("TfrmMain");
    setWindowTitle("Torva Hivewright");
    setWindowIcon(ui::ProgramIcon());
    resize(static_cast<int>(kWindowWidth * FontScale(*this)),
           static_cast<int>(kWindowHeight * FontScale(*this)));

    changes_ = core::RegistryChanges().Subscribe(
        [this](const core::RegistryChange& change) { FollowChange(change); });
    CreateLayout();
    CreateCommands();
    CreateMenus();
    CreateToolBar();
    CreateAddressBand();
    ConnectCommands();
    RunCreationSteps();
    CentreOnScreen();
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
    trvwKeys = new QTreeView;
    trvwKeys->setObjectName("trvwKeys");
    trvwKeys->setModel(keyModel_);
    keyModel_->SetPictures(KeyPictures());
    trvwKeys->setHeaderHidden(true);
    trvwKeys->setIndentation(kTreeIndent);
    trvwKeys->setUniformRowHeights(true);
    trvwKeys->setSelectionMode(QAbstractItemView::SingleSelection);
    trvwKeys->setEditTriggers(QAbstractItemView::NoEditTriggers);
    trvwKeys->setContextMenuPolicy(Qt::CustomContextMenu);
    trvwKeys->setMinimumWidth(kMinimumPaneWidth);
    trvwKeys->header()->setStretchLastSection(false);
    trvwKeys->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    trvwKeys->setItemDelegate(new ui::ItemViewDelegate(false, trvwKeys));
    UseInactiveSelectionColours(*trvwKeys);
    trvwKeys->installEventFilter(this);
    trvwKeys->viewport()->installEventFilter(this);

    lstvwValues = new QTreeView;
    lstvwValues->setObjectName("lstvwValues");
    lstvwValues->setModel(valueModel_);
    std::vector<QIcon> pictures;
    pictures.reserve(ui::kImageCount);
    for (int i = 0; i < ui::kImageCount; ++i)
        pictures.push_back(ui::ImageListIcon(i));
    valueModel_->SetPictures(pictures);
    lstvwValues->setRootIsDecorated(false);
    lstvwValues->setItemsExpandable(false);
    lstvwValues->setUniformRowHeights(true);
    lstvwValues->setAllColumnsShowFocus(true);
    lstvwValues->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstvwValues->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstvwValues->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstvwValues->setContextMenuPolicy(Qt::CustomContextMenu);
    lstvwValues->header()->setStretchLastSection(false);
    lstvwValues->header()->setSectionsMovable(false);
    SortOnHeaderClicks(*lstvwValues);
    // Columns fit the rows in view; measuring a thousand more would cost a large key's fill several times
    // over.
    lstvwValues->header()->setResizeContentsPrecision(0);
    lstvwValues->setItemDelegate(new ui::ItemViewDelegate(true, lstvwValues));
    UseInactiveSelectionColours(*lstvwValues);
    const double scale = FontScale(*lstvwValues);
    for (int column = 0; column < ValueListModel::kColumnCount; ++column)
        lstvwValues->header()->resizeSection(column, static_cast<int>(kColumnWidths[column] * scale));
    lstvwValues->viewport()->installEventFilter(this);

    pnlValues = new QWidget;
    pnlValues->setObjectName("pnlValues");
    pnlValues->setMinimumWidth(kMinimumPaneWidth);
    auto* valuesLayout = new QVBoxLayout(pnlValues);
    valuesLayout->setContentsMargins(0, 0, 0, 0);
    valuesLayout->addWidget(lstvwValues);

    splttrMain = new QSplitter(Qt::Horizontal);
    splttrMain->setObjectName("splttrMain");
    splttrMain->setHandleWidth(kSplitterWidth);
    splttrMain->setChildrenCollapsible(false);
    splttrMain->addWidget(trvwKeys);
    splttrMain->addWidget(pnlValues);
    splttrMain->setStretchFactor(1, 1);
    const int treeWidth = static_cast<int>(kTreeWidth * FontScale(*this));
    splttrMain->setSizes({treeWidth, width() - treeWidth - kSplitterWidth});
    setCentralWidget(splttrMain);

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
        BuildRoots();
        for (const std::string& name : favorites_.Names())
            AddFavoriteMenuEntry(name);
        BuildLanguageMenu();
        setAcceptDrops(true);
    } catch (const std::exception&) {
        util::ErrorBox(i18n::LookupText(i18n::Text::AccessRegistryError));
    }
}

void TfrmMain::BuildRoots() {
    listedRoots_.clear();
    for (HKEY root : core::ListedRootKeys(facts_))
        listedRoots_.push_back(core::RootKeyName(root));
    keyModel_->ResetRoots(listedRoots_);
    for (const std::string& name : listedRoots_) {
        const QString text = QString::fromUtf8(name);
        cmbbxAddress->addItem(text);
        pppmnRootKey->addAction(text, this, [this, text] { cmbbxAddress->setEditText(text + "\\"); });
    }
    // Nothing is selected yet, so the address box names nothing.
    cmbbxAddress->setCurrentIndex(-1);
    cmbbxAddress->clearEditText();
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
    FitDataColumn();
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
    if (watched == trvwKeys->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        KeySelected();
    } else if (watched == trvwKeys && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Asterisk) {
        // Expanding a whole subtree would read the registry below it at once.
        return true;
    } else if (watched == trvwKeys && event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat() && IsTreeNavigationKey(key->key())) KeySelected();
    } else if (watched == lstvwValues->viewport() && event->type() == QEvent::Resize) {
        FitDataColumn();
    } else if (!cmbbxAddress) {
        // Events that arrive while the window is still being built.
    } else if (watched == cmbbxAddress->view() && event->type() == QEvent::Show) {
        // Opening the list makes a choice in it navigate again.
        listChoiceNavigates_ = true;
    } else if (watched == cmbbxAddress || watched == static_cast<QObject*>(cmbbxAddress->lineEdit())) {
        if (event->type() == QEvent::KeyPress) {
            listChoiceNavigates_ = false;
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                AddressEntered();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::FitNameAndTypeColumns() {
    if (columnsFitted_ || valueModel_->Count() == 0) return;
    columnsFitted_ = true;
    QHeaderView* header = lstvwValues->header();
    const int nameColumn = ValueListModel::kNameColumn;
    const int typeColumn = ValueListModel::kTypeColumn;
    const int nameWidth = header->sectionSize(nameColumn);
    const int typeWidth = header->sectionSize(typeColumn);
    const int typeLimit = lstvwValues->fontMetrics().horizontalAdvance(kLongestTypeName) +
                          lstvwValues->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) * 4;
    auto wanted = [&](int column, int limit) {
        const int hint = std::max(static_cast<QAbstractItemView*>(lstvwValues)->sizeHintForColumn(column),
                                  header->sectionSizeHint(column));
        return std::max(header->sectionSize(column), std::min(hint, limit));
    };
    int name = wanted(nameColumn, nameWidth * kNameColumnGrowth);
    int type = wanted(typeColumn, typeLimit);
    // Size and the start of Data stay in view: what the two columns gain shrinks to the room there is.
    const int dataMinimum =
        static_cast<int>(kColumnWidths[ValueListModel::kDataColumn] * FontScale(*lstvwValues)) / 2;
    const int room = lstvwValues->viewport()->width() - header->sectionSize(ValueListModel::kSizeColumn) -
                     dataMinimum - nameWidth - typeWidth;
    const int gain = (name - nameWidth) + (type - typeWidth);
    if (gain > room) {
        const double share = std::max(0, room) / double(gain);
        name = nameWidth + static_cast<int>((name - nameWidth) * share);
        type = typeWidth + static_cast<int>((type - typeWidth) * share);
    }
    header->resizeSection(nameColumn, name);
    header->resizeSection(typeColumn, type);
    FitDataColumn();
}

void TfrmMain::FitDataColumn() {
    QHeaderView* header = lstvwValues->header();
    int others = 0;
    for (int column = 0; column < ValueListModel::kDataColumn; ++column)
        others += header->sectionSize(column);
    header->resizeSection(ValueListModel::kDataColumn,
                          std::max(0, lstvwValues->viewport()->width() - others));
}

} // namespace hw::window
