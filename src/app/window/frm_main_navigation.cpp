// Moving to a key by its path: the address band, its history, Go To, Go To Last and Current Key.
#include "app/window/frm_main.h"

#include "app/window/frm_current_key.h"
#include "app/window/frm_goto.h"
#include "app/window/key_tree_model.h"
#include "core/key_path.h"
#include "core/root_keys.h"
#include "i18n/text_table.h"
#include "platform/qt/byte_text.h"
#include "ui/busy_cursor.h"
#include "ui/flat_panel_button.h"
#include "ui/ui_text.h"
#include "util/dialog.h"
#include "util/text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QTreeView>

namespace hw::window {

namespace {

constexpr int kAddressLabelWidth = 49;
constexpr int kRootButtonWidth = 60;
constexpr int kGoButtonWidth = 47;
// Where each flat button looks raised: distances from its left, right, top and bottom edges.
const QMargins kGoInnerArea(9, 5, 16, 10);
const QMargins kRootInnerArea(6, 5, 10, 10);

// The normalised path: the root's full name, a backslash and the subkey path, without one trailing backslash.
std::string NormalisedPath(const std::string& text) {
    std::string path = core::RootKeyName(core::RootKeyOfPath(text)) + "\\" + core::SubKeyOrEmpty(text);
    if (path.back() == '\\') path.pop_back();
    return path;
}

} // namespace

void TfrmMain::CreateAddressBand() {
    Panel1 = addToolBar("Panel1");
    Panel1->setObjectName("Panel1");
    Panel1->setMovable(false);
    Panel1->setFloatable(false);
    auto* band = new QWidget;
    auto* layout = new QHBoxLayout(band);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(2);

    pnlAddress = new QLabel(ui::UiText(i18n::Text::Address));
    pnlAddress->setObjectName("pnlAddress");
    // At least its designed width, wider when the font needs it.
    pnlAddress->setMinimumWidth(kAddressLabelWidth);
    pnlRoot = new ui::FlatPanelButton(ui::UiText(i18n::Text::Root), kRootInnerArea);
    pnlRoot->setObjectName("pnlRoot");
    pnlRoot->setFixedWidth(kRootButtonWidth);
    pnlRoot->setToolTip("Input a rootkey's name");
    cmbbxAddress = new QComboBox;
    cmbbxAddress->setObjectName("cmbbxAddress");
    cmbbxAddress->setEditable(true);
    cmbbxAddress->setInsertPolicy(QComboBox::NoInsert);
    cmbbxAddress->setCompleter(nullptr);
    cmbbxAddress->setMaxVisibleItems(20);
    cmbbxAddress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    cmbbxAddress->setToolTip("Input key's address here,then you could jump to it quickly");
    pnlGo = new ui::FlatPanelButton(ui::UiText(i18n::Text::Go), kGoInnerArea);
    pnlGo->setObjectName("pnlGo");
    pnlGo->setFixedWidth(kGoButtonWidth);
    pnlGo->setToolTip("Goto key special in address combobox");
    pppmnRootKey = new QMenu(this);
    pppmnRootKey->setObjectName("pppmnRootKey");

    layout->addWidget(pnlAddress);
    layout->addWidget(pnlRoot);
    layout->addWidget(cmbbxAddress, 1);
    layout->addWidget(pnlGo);
    pnlRoot->setFixedHeight(cmbbxAddress->sizeHint().height());
    pnlGo->setFixedHeight(cmbbxAddress->sizeHint().height());
    Panel1->addWidget(band);

    cmbbxAddress->installEventFilter(this);
    cmbbxAddress->lineEdit()->installEventFilter(this);
    cmbbxAddress->view()->installEventFilter(this);
    connect(cmbbxAddress, &QComboBox::activated, this, [this](int index) {
        if (listChoiceNavigates_) GoToPath(cmbbxAddress->itemText(index).toStdString());
    });
    connect(pnlGo, &ui::FlatPanelButton::released, this, [this] { AddressEntered(); });
    connect(pnlRoot, &ui::FlatPanelButton::released, this,
            [this](const QPoint& at) { pppmnRootKey->popup(at); });
}

void TfrmMain::AddressEntered() {
    const std::string text = cmbbxAddress->currentText().toStdString();
    if (!util::TrimBlanks(text).empty()) GoToPath(text);
}

void TfrmMain::AddToHistory(const std::string& path, bool show) {
    const std::string wanted = util::UpperCaseAscii(path);
    bool known = false;
    for (int item = 0; item < cmbbxAddress->count() && !known; ++item)
        known = util::UpperCaseAscii(cmbbxAddress->itemText(item).toStdString()) == wanted;
    if (!known) cmbbxAddress->addItem(QString::fromUtf8(path));
    if (show) cmbbxAddress->setEditText(QString::fromUtf8(path));
}

std::vector<std::string> TfrmMain::History() const {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(cmbbxAddress->count()));
    for (int item = 0; item < cmbbxAddress->count(); ++item)
        items.push_back(cmbbxAddress->itemText(item).toStdString());
    return items;
}

void TfrmMain::ExpandForNavigation(const QModelIndex& node) {
    LoadSubKeys(node);
    trvwKeys->expand(node);
}

QModelIndex TfrmMain::FindNode(const std::string& path) {
    if (path.empty() || keyModel_->rowCount() == 0) return {};
    std::vector<std::string> components;
    std::string component;
    for (char c : util::UpperCaseAscii(path)) {
        if (c == '\\') {
            components.push_back(component);
            component.clear();
        } else {
            component += c;
        }
    }
    components.push_back(component);

    const bool wasNavigating = navigating_;
    navigating_ = true;
    QModelIndex parent;
    QModelIndex found;
    for (std::size_t i = 0; i < components.size(); ++i) {
        found = components[i].empty() ? QModelIndex() : keyModel_->FindChildUpper(parent, components[i]);
        if (!found.isValid() || i + 1 == components.size()) break;
        ExpandForNavigation(found);
        if (keyModel_->rowCount(found) == 0) {
            found = {};
            break;
        }
        parent = found;
    }
    navigating_ = wasNavigating;
    return found;
}

bool TfrmMain::GoToPath(const std::string& text) {
    const std::string path = NormalisedPath(text);
    const QModelIndex node = FindNode(path);
    if (dialogs_.frmGoTo) dialogs_.frmGoTo->SetLastNavigationOk(node.isValid());
    if (!node.isValid()) {
        // Named as typed when the root itself is unknown: the normalised text would hide the mistake.
        util::ErrorBox(
            i18n::FormatText(i18n::Text::KeyNotInRegistry, {core::RootKeyOfPath(text) ? path : text}));
        return false;
    }
    ExpandForNavigation(IsRootNode(node) ? node : node.parent());
    trvwKeys->setCurrentIndex(node);
    trvwKeys->scrollTo(node);
    ClearValueList();
    FillValueList(node);
    sttsbrMain->setText(platform::ShownText("[" + path + "]"));
    AddToHistory(path, true);
    return true;
}

void TfrmMain::GoTo() {
    if (!dialogs_.frmGoTo) return;
    const std::optional<std::string> path = dialogs_.frmGoTo->ShowForPath();
    if (!path) return;
    ui::BusyCursor busy;
    GoToPath(*path);
}

void TfrmMain::GoToLast() {
    if (!dialogs_.frmGoTo || !dialogs_.frmGoTo->LastNavigationOk()) {
        GoTo();
        return;
    }
    ui::BusyCursor busy;
    GoToPath(dialogs_.frmGoTo->KeyText());
}

void TfrmMain::ShowCurrentKey() {
    const QModelIndex node = SelectedNode();
    if (!node.isValid()) {
        util::NoticeBox(i18n::LookupText(i18n::Text::NoCurrentKey));
        return;
    }
    if (dialogs_.frmCurrentKey) dialogs_.frmCurrentKey->ShowFor(NodePath(node));
}

} // namespace hw::window
