// Moving to a key: the address band and its history, typed paths, and back and forward.
#include "app/window/registry_browser.h"

#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/root_keys.h"
#include "i18n/text_table.h"
#include "platform/qt/byte_text.h"
#include "ui/flat_panel_button.h"
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
// Back and forward remember this many keys each way; older ones are dropped.
constexpr std::size_t kVisitedLimit = 100;

// The normalised path: the root's full name, a backslash and the subkey path, without one trailing backslash.
std::string NormalisedPath(const std::string& text) {
    std::string path = core::RootKeyName(core::RootKeyOfPath(text)) + "\\" + core::SubKeyOrEmpty(text);
    if (path.back() == '\\') path.pop_back();
    return path;
}

bool SamePath(const std::string& a, const std::string& b) {
    return util::UpperCaseAscii(a) == util::UpperCaseAscii(b);
}

void PushVisited(std::vector<std::string>& keys, std::string path) {
    if (keys.size() == kVisitedLimit) keys.erase(keys.begin());
    keys.push_back(std::move(path));
}

} // namespace

void RegistryBrowser::CreateAddressBand() {
    Panel1 = new QToolBar("Panel1");
    Panel1->setObjectName("Panel1");
    Panel1->setMovable(false);
    Panel1->setFloatable(false);
    auto* band = new QWidget;
    auto* layout = new QHBoxLayout(band);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(2);

    pnlAddress = new QLabel;
    pnlAddress->setObjectName("pnlAddress");
    // At least its designed width, wider when the font needs it.
    pnlAddress->setMinimumWidth(kAddressLabelWidth);
    pnlRoot = new ui::FlatPanelButton({}, kRootInnerArea);
    pnlRoot->setObjectName("pnlRoot");
    pnlRoot->setFixedWidth(kRootButtonWidth);
    cmbbxAddress = new QComboBox;
    cmbbxAddress->setObjectName("cmbbxAddress");
    cmbbxAddress->setEditable(true);
    cmbbxAddress->setInsertPolicy(QComboBox::NoInsert);
    cmbbxAddress->setCompleter(nullptr);
    cmbbxAddress->setMaxVisibleItems(20);
    cmbbxAddress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    pnlGo = new ui::FlatPanelButton({}, kGoInnerArea);
    pnlGo->setObjectName("pnlGo");
    pnlGo->setFixedWidth(kGoButtonWidth);
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

void RegistryBrowser::AddressEntered() {
    const std::string text = cmbbxAddress->currentText().toStdString();
    if (!util::TrimBlanks(text).empty()) GoToPath(text);
}

void RegistryBrowser::FocusAddress() {
    cmbbxAddress->setFocus(Qt::ShortcutFocusReason);
    cmbbxAddress->lineEdit()->selectAll();
}

void RegistryBrowser::AddToHistory(const std::string& path, bool show) {
    bool known = false;
    for (int item = 0; item < cmbbxAddress->count() && !known; ++item)
        known = SamePath(cmbbxAddress->itemText(item).toStdString(), path);
    if (!known) cmbbxAddress->addItem(QString::fromUtf8(path));
    if (show) cmbbxAddress->setEditText(QString::fromUtf8(path));
}

std::vector<std::string> RegistryBrowser::History() const {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(cmbbxAddress->count()));
    for (int item = 0; item < cmbbxAddress->count(); ++item)
        items.push_back(cmbbxAddress->itemText(item).toStdString());
    return items;
}

void RegistryBrowser::ExpandForNavigation(const QModelIndex& node) {
    LoadSubKeys(node);
    trvwKeys->expand(node);
}

QModelIndex RegistryBrowser::FindNode(const std::string& path) {
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

bool RegistryBrowser::ShowPath(const std::string& path) {
    const QModelIndex node = FindNode(path);
    if (!node.isValid()) return false;
    ExpandForNavigation(IsRootNode(node) ? node : node.parent());
    trvwKeys->setCurrentIndex(node);
    trvwKeys->scrollTo(node);
    valueModel_->Clear();
    FillValueList(node);
    emit statusChanged(platform::ShownText("[" + path + "]"));
    AddToHistory(path, true);
    Visit(path);
    return true;
}

bool RegistryBrowser::GoToPath(const std::string& text) {
    const std::string path = NormalisedPath(text);
    const bool found = ShowPath(path);
    emit pathLooked(found);
    if (!found) {
        // Named as typed when the root itself is unknown: the normalised text would hide the mistake.
        util::ErrorBox(
            i18n::FormatText(i18n::Text::KeyNotInRegistry, {core::RootKeyOfPath(text) ? path : text}));
    }
    return found;
}

void RegistryBrowser::Visit(const std::string& path) {
    if (stepping_ || SamePath(path, shownKey_)) return;
    if (!shownKey_.empty()) PushVisited(backKeys_, shownKey_);
    shownKey_ = path;
    forwardKeys_.clear();
    emit stepsChanged();
}

void RegistryBrowser::Step(std::vector<std::string>& from, std::vector<std::string>& to) {
    stepping_ = true;
    while (!from.empty()) {
        const std::string path = from.back();
        from.pop_back();
        if (!SamePath(path, shownKey_) && core::KeyPathExists(path) && ShowPath(path)) {
            if (!shownKey_.empty()) PushVisited(to, shownKey_);
            shownKey_ = path;
            break;
        }
    }
    stepping_ = false;
    emit stepsChanged();
}

void RegistryBrowser::GoBack() {
    Step(backKeys_, forwardKeys_);
}

void RegistryBrowser::GoForward() {
    Step(forwardKeys_, backKeys_);
}

} // namespace hw::window
