#include "content/window/frm_favorites.h"

#include "i18n/text_table.h"
#include "ui/command_set.h"
#include "ui/form_parts.h"
#include "ui/ui_text.h"
#include "util/dialog.h"

#include <QAction>
#include <QCollator>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace hw::content {

namespace {

// Characters a favourite's name never holds: the file's separator and the key path's.
bool IsRefusedNameCharacter(const QString& text) {
    return text == ":" || text == "=" || text == "\\";
}

QWidget* NewPanel(QWidget* parent, const char* name) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    return panel;
}

} // namespace

TfrmFavorites::TfrmFavorites(QWidget* parent) : QDialog(parent) {
    setObjectName("TfrmFavorites");
    setWindowTitle("Favorites");

    pnlHead = NewPanel(this, "pnlHead");
    lblName = new QLabel("Favorites Name:", pnlHead);
    lblName->setObjectName("lblName");
    edtName = new QLineEdit(pnlHead);
    edtName->setObjectName("edtName");
    edtName->setMinimumWidth(edtName->fontMetrics().averageCharWidth() * 40);
    edtName->installEventFilter(this);
    lblName->setBuddy(edtName);
    btnAdd = new QPushButton("&Add", pnlHead);
    btnAdd->setObjectName("btnAdd");
    btnAdd->setDefault(true);
    btnFavoritesList = new QPushButton("&Show Favorites List", pnlHead);
    btnFavoritesList->setObjectName("btnFavoritesList");
    btnFavoritesList->setAutoDefault(false);
    btnCancel = new QPushButton("&Cancel", pnlHead);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setAutoDefault(false);
    auto* headButtons = new QHBoxLayout;
    headButtons->addStretch();
    headButtons->addWidget(btnAdd);
    headButtons->addWidget(btnFavoritesList);
    headButtons->addWidget(btnCancel);
    auto* head = new QVBoxLayout(pnlHead);
    head->setContentsMargins(0, 0, 0, 0);
    head->addWidget(lblName);
    head->addWidget(edtName);
    head->addLayout(headButtons);

    pnlFavoritesList = NewPanel(this, "pnlFavoritesList");
    lblFavoritesList = new QLabel("Favorites List:", pnlFavoritesList);
    lblFavoritesList->setObjectName("lblFavoritesList");
    lstbxFavorites = new QListWidget(pnlFavoritesList);
    lstbxFavorites->setObjectName("lstbxFavorites");
    lstbxFavorites->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstbxFavorites->setContextMenuPolicy(Qt::CustomContextMenu);
    lblFavoritesList->setBuddy(lstbxFavorites);
    // Del deletes in the list only, not while the name is edited.
    pppmnitmDelete = ui::MakeCommand(*this, {"pppmnitmDelete", i18n::Text::PopupDelete, "Del"});
    pppmnitmDelete->setShortcutContext(Qt::WidgetShortcut);
    pppmnFavoritesList = ui::MakeMenu(*this, {"pppmnFavoritesList", std::nullopt, {"pppmnitmDelete"}});
    pppmnitmDelete->setEnabled(false);
    lstbxFavorites->addAction(pppmnitmDelete);
    auto* listLayout = new QVBoxLayout(pnlFavoritesList);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(lblFavoritesList);
    listLayout->addWidget(lstbxFavorites);

    pnlBottom = NewPanel(this, "pnlBottom");
    btnOk = new QPushButton("&OK", pnlBottom);
    btnOk->setObjectName("btnOk");
    auto* bottom = new QHBoxLayout(pnlBottom);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addStretch();
    bottom->addWidget(btnOk);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pnlHead);
    layout->addWidget(pnlFavoritesList);
    layout->addWidget(pnlBottom);
    // As tall as the panels shown.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The two fields first, then the buttons.
    ui::SetTabChain({edtName, lstbxFavorites, btnAdd, btnFavoritesList, btnCancel, btnOk});

    connect(btnAdd, &QPushButton::clicked, this, &TfrmFavorites::btnAddClick);
    connect(btnFavoritesList, &QPushButton::clicked, this, &TfrmFavorites::btnFavoritesListClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(pppmnitmDelete, &QAction::triggered, this, &TfrmFavorites::pppmnitmDeleteClick);
    connect(lstbxFavorites, &QListWidget::itemSelectionChanged, this,
            [this] { pppmnitmDelete->setEnabled(!lstbxFavorites->selectedItems().isEmpty()); });
    connect(lstbxFavorites, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        pppmnFavoritesList->popup(lstbxFavorites->viewport()->mapToGlobal(pos));
    });
}

void TfrmFavorites::PrepareAdd(FavoritesList& list, const std::string& keyPath, const std::string& name) {
    list_ = &list;
    keyPath_ = keyPath;
    appendedName_.reset();
    deletedNames_.clear();
    edtName->setText(QString::fromStdString(name));
    edtName->selectAll();
    edtName->setFocus();
    pnlHead->show();
    SetListShown(false);
    pnlBottom->hide();
}

void TfrmFavorites::PrepareManage(FavoritesList& list) {
    list_ = &list;
    keyPath_.clear();
    appendedName_.reset();
    deletedNames_.clear();
    pnlHead->hide();
    SetListShown(true);
    pnlBottom->show();
    btnOk->setDefault(true);
}

std::optional<std::string> TfrmFavorites::ExecuteAdd(FavoritesList& list, const std::string& keyPath,
                                                     const std::string& name) {
    PrepareAdd(list, keyPath, name);
    exec();
    return appendedName_;
}

std::vector<std::string> TfrmFavorites::ExecuteManage(FavoritesList& list) {
    PrepareManage(list);
    exec();
    return deletedNames_;
}

void TfrmFavorites::btnAddClick() {
    if (!list_) return;
    const std::string name = edtName->text().toStdString();
    // Typing cannot enter an equals sign, but pasting can.
    if (name.find('=') != std::string::npos) {
        util::ErrorBox(i18n::FormatText(i18n::Text::InvalidCharacter, {"="}));
        return;
    }
    if (list_->Contains(name) && !util::AskYesNo(i18n::FormatText(i18n::Text::FavoriteExistsReplace, {name})))
        return;
    if (list_->Put(name, keyPath_)) appendedName_ = name;
    accept();
}

void TfrmFavorites::btnFavoritesListClick() {
    SetListShown(!pnlFavoritesList->isVisibleTo(this));
}

void TfrmFavorites::SetListShown(bool shown) {
    pnlFavoritesList->setVisible(shown);
    btnFavoritesList->setText(
        ui::UiText(shown ? i18n::Text::HideFavoritesList : i18n::Text::ShowFavoritesList));
    if (shown) FillList();
}

void TfrmFavorites::FillList() {
    lstbxFavorites->clear();
    if (!list_) return;
    std::vector<std::string> names = list_->Names();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(), [&collator](const std::string& a, const std::string& b) {
        return collator.compare(QString::fromStdString(a), QString::fromStdString(b)) < 0;
    });
    for (const std::string& name : names)
        lstbxFavorites->addItem(QString::fromStdString(name));
    pppmnitmDelete->setEnabled(false);
}

void TfrmFavorites::pppmnitmDeleteClick() {
    if (!list_) return;
    for (QListWidgetItem* item : lstbxFavorites->selectedItems()) {
        const std::string name = item->text().toStdString();
        list_->Remove(name);
        deletedNames_.push_back(name);
        delete item;
    }
    pppmnitmDelete->setEnabled(!lstbxFavorites->selectedItems().isEmpty());
}

bool TfrmFavorites::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtName && event->type() == QEvent::KeyPress &&
        IsRefusedNameCharacter(static_cast<QKeyEvent*>(event)->text()))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TfrmFavorites::ApplyLanguage() {
    setWindowTitle(ui::UiText(i18n::Text::FavoritesCaption));
    lblName->setText(ui::UiText(i18n::Text::FavoritesName));
    lblFavoritesList->setText(ui::UiText(i18n::Text::FavoritesList));
    btnAdd->setText(ui::UiText(i18n::Text::FavoritesAdd));
    btnOk->setText(ui::UiText(i18n::Text::Ok));
    btnCancel->setText(ui::UiText(i18n::Text::Cancel));
    btnFavoritesList->setText(ui::UiText(
        pnlFavoritesList->isVisibleTo(this) ? i18n::Text::HideFavoritesList : i18n::Text::ShowFavoritesList));
    ui::ApplyCommandTexts(*this);
}

} // namespace hw::content
