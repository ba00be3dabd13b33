#include "app/window/registry_browser.h"

#include "app/window/font_scale.h"
#include "app/window/header_sorting.h"
#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "core/root_keys.h"
#include "i18n/text_table.h"
#include "platform/qt/byte_text.h"
#include "ui/flat_panel_button.h"
#include "ui/image_list.h"
#include "ui/item_view_delegate.h"
#include "ui/ui_text.h"
#include "ui/window_places.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace hw::window {

namespace {

constexpr int kTreeWidth = 209;
constexpr int kTreeIndent = 19;
constexpr int kSplitterWidth = 3;
constexpr int kMinimumPaneWidth = 20;
constexpr int kColumnWidths[] = {120, 100, 40, 211};
// A fitted name column grows to at most this many times its first width.
constexpr int kNameColumnGrowth = 2;
const char* const kLongestTypeName = "REG_RESOURCE_REQUIREMENTS_LIST";

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

bool IsMenuKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_Menu || (key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier);
}

bool IsEnterKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

bool IsPlainEnter(const QKeyEvent& key) {
    return IsEnterKey(key) && key.modifiers() == Qt::NoModifier;
}

// The pop-up menu asked for from the keyboard: the menu key, Shift+F10, or the desktop's own request.
bool IsMenuRequest(const QEvent& event) {
    if (event.type() == QEvent::ContextMenu)
        return static_cast<const QContextMenuEvent&>(event).reason() == QContextMenuEvent::Keyboard;
    return event.type() == QEvent::KeyPress && IsMenuKey(static_cast<const QKeyEvent&>(event));
}

} // namespace

RegistryBrowser::RegistryBrowser(const platform::PlatformFacts& facts, QWidget* parent)
    : QWidget(parent), facts_(facts), keyModel_(new KeyTreeModel(facts, this)),
      valueModel_(new ValueListModel(this)) {
    setObjectName("brwsrRegistry");
    changes_ = core::RegistryChanges().Subscribe(
        [this](const core::RegistryChange& change) { FollowChange(change); });
    CreateViews();
    CreateAddressBand();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The views come first in the focus order, the address band after them, as in a window whose band is a
    // tool bar.
    layout->addWidget(splttrMain, 1);
    layout->insertWidget(0, Panel1);
    ConnectViews();
    ApplyTexts();
}

RegistryBrowser::~RegistryBrowser() = default;

void RegistryBrowser::CreateViews() {
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
    lstvwValues->installEventFilter(this);
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
    // The window is sized before its browser is made.
    const int treeWidth = static_cast<int>(kTreeWidth * FontScale(*this));
    splttrMain->setSizes({treeWidth, window()->width() - treeWidth - kSplitterWidth});
}

void RegistryBrowser::ConnectViews() {
    connect(trvwKeys, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        // The right button selects what it points at; the list and status follow before the menu acts.
        KeySelected();
        emit keyMenuRequested(trvwKeys->viewport()->mapToGlobal(pos));
    });
    connect(lstvwValues, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        emit valueMenuRequested(lstvwValues->viewport()->mapToGlobal(pos));
    });
    connect(trvwKeys, &QTreeView::expanded, this, [this](const QModelIndex& node) {
        if (navigating_) return;
        trvwKeys->setCurrentIndex(node);
        emit keyExpanded();
    });
    connect(lstvwValues, &QTreeView::doubleClicked, this, &RegistryBrowser::valueActivated);
    // The rename runs after the in-place editor has closed, so its messages never interrupt the view.
    connect(
        keyModel_, &KeyTreeModel::textEdited, this,
        [this](const QPersistentModelIndex& node, const QString& text) {
            if (node.isValid())
                emit keyNameEdited(node, platform::EditedBytes(text, keyModel_->NodeText(node)));
        },
        Qt::QueuedConnection);
    connect(
        valueModel_, &ValueListModel::nameEdited, this,
        [this](int row, const QString& text) {
            if (row < 0 || row >= valueModel_->Count()) return;
            emit valueNameEdited(row, platform::EditedBytes(text, valueModel_->Row(row).record.valueName));
        },
        Qt::QueuedConnection);
    auto* focusAddress = new QShortcut(QKeySequence(QStringLiteral("Ctrl+L")), this);
    focusAddress->setContext(Qt::WindowShortcut);
    connect(focusAddress, &QShortcut::activated, this, &RegistryBrowser::FocusAddress);
}

void RegistryBrowser::ListRoots() {
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

void RegistryBrowser::ApplyTexts() {
    pnlAddress->setText(ui::UiText(i18n::Text::Address));
    pnlGo->SetCaption(ui::UiText(i18n::Text::Go));
    pnlRoot->SetCaption(ui::UiText(i18n::Text::Root));
    pnlRoot->setToolTip(ui::UiText(i18n::Text::HintRootKey));
    cmbbxAddress->setToolTip(ui::UiText(i18n::Text::HintAddress));
    pnlGo->setToolTip(ui::UiText(i18n::Text::HintGoToAddress));
    valueModel_->SetColumnTitles({ui::UiText(i18n::Text::ColumnName), ui::UiText(i18n::Text::ColumnType),
                                  ui::UiText(i18n::Text::ColumnSize), ui::UiText(i18n::Text::ColumnData)});
}

void RegistryBrowser::AddKeyCommands(std::initializer_list<QAction*> commands) {
    for (QAction* command : commands) {
        command->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        trvwKeys->addAction(command);
    }
}

void RegistryBrowser::AddValueCommands(std::initializer_list<QAction*> commands) {
    for (QAction* command : commands) {
        command->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        lstvwValues->addAction(command);
    }
}

void RegistryBrowser::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FitDataColumn();
}

bool RegistryBrowser::eventFilter(QObject* watched, QEvent* event) {
    bool handled = false;
    if (!cmbbxAddress) {
        // Events that arrive while the browser is still being built.
    } else if (watched == trvwKeys || watched == trvwKeys->viewport()) {
        handled = TreeEvent(watched, *event);
    } else if (watched == lstvwValues || watched == lstvwValues->viewport()) {
        handled = ListEvent(watched, *event);
    } else {
        handled = AddressEvent(watched, *event);
    }
    return handled || QWidget::eventFilter(watched, event);
}

bool RegistryBrowser::TreeEvent(QObject* watched, QEvent& event) {
    if (IsMenuRequest(event)) {
        RequestMenuAtCurrentItem(trvwKeys);
        return true;
    }
    if (watched == trvwKeys->viewport()) {
        if (event.type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent&>(event).button() == Qt::LeftButton)
            KeySelected();
        return false;
    }
    if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease) return false;
    const auto& key = static_cast<QKeyEvent&>(event);
    // Expanding a whole subtree would read the registry below it at once.
    if (event.type() == QEvent::KeyPress) return key.key() == Qt::Key_Asterisk;
    // Alt with an arrow steps back or forward, which selects the key itself.
    if (!key.isAutoRepeat() && IsTreeNavigationKey(key.key()) && !key.modifiers().testFlag(Qt::AltModifier))
        KeySelected();
    return false;
}

bool RegistryBrowser::ListEvent(QObject* watched, QEvent& event) {
    if (IsMenuRequest(event)) {
        RequestMenuAtCurrentItem(lstvwValues);
        return true;
    }
    if (watched == lstvwValues->viewport()) {
        if (event.type() == QEvent::Resize) FitDataColumn();
        return false;
    }
    if (event.type() == QEvent::KeyPress && IsPlainEnter(static_cast<QKeyEvent&>(event))) {
        emit valueActivated();
        return true;
    }
    return false;
}

bool RegistryBrowser::AddressEvent(QObject* watched, QEvent& event) {
    if (watched == cmbbxAddress->view() && event.type() == QEvent::Show) {
        // Opening the list makes a choice in it navigate again.
        listChoiceNavigates_ = true;
    } else if ((watched == cmbbxAddress || watched == cmbbxAddress->lineEdit()) &&
               event.type() == QEvent::KeyPress) {
        listChoiceNavigates_ = false;
        if (IsEnterKey(static_cast<QKeyEvent&>(event))) {
            AddressEntered();
            return true;
        }
    }
    return false;
}

void RegistryBrowser::RequestMenuAtCurrentItem(QTreeView* view) {
    const QModelIndex current = view->currentIndex();
    const QRect item = current.isValid() ? view->visualRect(current) : QRect();
    const QPoint at = view->viewport()->mapToGlobal(item.isValid() ? item.center() : QPoint(0, 0));
    if (view == trvwKeys) {
        KeySelected();
        emit keyMenuRequested(at);
    } else {
        emit valueMenuRequested(at);
    }
}

void RegistryBrowser::FitNameAndTypeColumns() {
    // Widths the user left last time are kept as they are.
    if (columnsFitted_ || valueModel_->Count() == 0 || ui::ColumnWidthsRestored(*lstvwValues->header()))
        return;
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

void RegistryBrowser::FitDataColumn() {
    QHeaderView* header = lstvwValues->header();
    int others = 0;
    for (int column = 0; column < ValueListModel::kDataColumn; ++column)
        others += header->sectionSize(column);
    header->resizeSection(ValueListModel::kDataColumn,
                          std::max(0, lstvwValues->viewport()->width() - others));
}

} // namespace hw::window
