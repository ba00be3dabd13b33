#include "search/window/frm_find.h"

#include "i18n/text_table.h"
#include "search/window/find_text_rules.h"
#include "search/window/found_list_model.h"
#include "search/window/search_animation.h"
#include "ui/dialog_frame.h"
#include "ui/form_parts.h"
#include "ui/image_list.h"
#include "ui/item_view_delegate.h"
#include "ui/ui_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace hw::window {

namespace {

// Often enough that rows, the count and the Stop button feel live; rarely enough that a walk over many
// small keys is not dominated by event processing.
constexpr int kYieldMilliseconds = 30;
constexpr int kColumnWidths[] = {80, 200, 100};
constexpr QSize kWindowSize(760, 600);
constexpr int kMinimumListHeight = 160;
constexpr int kRowPadding = 4;

// Cells cut in the middle: a key path keeps its root and the keys nearest the result.
class MiddleCutDelegate : public ui::ItemViewDelegate {
  public:
    explicit MiddleCutDelegate(QObject* parent) : ui::ItemViewDelegate(true, parent) {}

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        ui::ItemViewDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideMiddle;
    }
};

// Upper-cases every letter as it is typed.
class UpperCaseValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

QCheckBox* NewTickedBox(QWidget* parent) {
    auto* box = new QCheckBox(parent);
    box->setChecked(true);
    return box;
}

} // namespace

TfrmFind::TfrmFind(FindWindowHost host, Role role, QWidget* parent)
    : QDialog(parent), host_(std::move(host)), role_(role), model_(new FoundListModel(this)) {
    setSizeGripEnabled(true);
    CreateConditions();
    CreateReplaceGroup();
    CreateResultList();
    CreatePopup();
    LayOut();
    NameParts();
    ApplyLanguage();

    request_.stopFlag = &stopFlag_;
    request_.onFound = [this](search::SearchResult& result) { model_->Add(result); };
    request_.yieldToInterface = [this] { YieldToInterface(); };
    resize(kWindowSize.expandedTo(minimumSizeHint()));
}

TfrmFind::~TfrmFind() {
    stopFlag_ = 1;
}

void TfrmFind::NameParts() {
    setObjectName(role_ == Role::Find ? "frmFind" : "frmReplace");
    ui::NameParts({{grpbxFindCondition, "grpbxFindCondition"},
                   {lblFindText, "lblFindText"},
                   {edtItem, "edtItem"},
                   {grpbxConfines, "grpbxConfines"},
                   {chckbxKey, "chckbxKey"},
                   {chckbxValue, "chckbxValue"},
                   {chckbxStringData, "chckbxStringData"},
                   {chckbxDwordData, "chckbxDwordData"},
                   {chckbxBinaryData, "chckbxBinaryData"},
                   {rdgrpCondition, "rdgrpCondition"},
                   {rdCurrentKey, "rdCurrentKey"},
                   {rdWholeRegistry, "rdWholeRegistry"},
                   {edtCurrentKey, "edtCurrentKey"},
                   {anmtFind, "anmtFind"},
                   {chckbxWildCharSupport, "chckbxWildCharSupport"},
                   {chckbxWholeWordsOnly, "chckbxWholeWordsOnly"},
                   {btnOk, "btnOk"},
                   {btnClose, "btnClose"},
                   {chckbxShowHelpInfo, "chckbxShowHelpInfo"},
                   {grpbxReplace, "grpbxReplace"},
                   {lblReplaceFrom, "lblReplaceFrom"},
                   {edtReplaceFrom, "edtReplaceFrom"},
                   {lblReplaceTo, "lblReplaceTo"},
                   {edtReplaceTo, "edtReplaceTo"},
                   {btnReplace, "btnReplace"},
                   {btnReplaceAll, "btnReplaceAll"},
                   {chckbxReplaceKey, "chckbxReplaceKey"},
                   {chckbxReplaceValue, "chckbxReplaceValue"},
                   {chckbxReplaceData, "chckbxReplaceData"},
                   {grpbxHelpInfo, "grpbxHelpInfo"},
                   {mmHelpInfo, "mmHelpInfo"},
                   {grpbxFoundResult, "grpbxFoundResult"}});
}

void TfrmFind::CreateConditions() {
    grpbxFindCondition = new QGroupBox(this);
    lblFindText = new QLabel(grpbxFindCondition);
    edtItem = new QLineEdit(grpbxFindCondition);
    lblFindText->setBuddy(edtItem);
    connect(edtItem, &QLineEdit::textChanged, this, &TfrmFind::edtItemChange);

    grpbxConfines = new QGroupBox(grpbxFindCondition);
    chckbxKey = NewTickedBox(grpbxConfines);
    chckbxValue = NewTickedBox(grpbxConfines);
    chckbxStringData = NewTickedBox(grpbxConfines);
    chckbxDwordData = NewTickedBox(grpbxConfines);
    chckbxBinaryData = NewTickedBox(grpbxConfines);
    for (QCheckBox* box : {chckbxKey, chckbxValue, chckbxStringData})
        connect(box, &QCheckBox::clicked, this, [this, box] { TargetClicked(box); });

    rdgrpCondition = new QGroupBox(grpbxFindCondition);
    rdCurrentKey = new QRadioButton(rdgrpCondition);
    rdWholeRegistry = new QRadioButton(rdgrpCondition);
    rdCurrentKey->setChecked(true);
    edtCurrentKey = new QLineEdit(rdgrpCondition);
    edtCurrentKey->setReadOnly(true);

    chckbxWildCharSupport = NewTickedBox(grpbxFindCondition);
    chckbxWholeWordsOnly = new QCheckBox(grpbxFindCondition);
    chckbxWholeWordsOnly->setEnabled(false);
    connect(chckbxWildCharSupport, &QCheckBox::clicked, this, &TfrmFind::chckbxWildCharSupportClick);
    chckbxShowHelpInfo = new QCheckBox(this);
    connect(chckbxShowHelpInfo, &QCheckBox::toggled, this,
            [this](bool on) { grpbxHelpInfo->setVisible(on); });

    anmtFind = new SearchAnimation(this);
    btnOk = new QPushButton(ui::ImageListIcon(ui::kImgFind), QString(), this);
    btnOk->setDefault(true);
    btnOk->setEnabled(false);
    connect(btnOk, &QPushButton::clicked, this, &TfrmFind::btnOkClick);
    btnClose = new QPushButton(ui::ImageListIcon(ui::kImgClose), QString(), this);
    btnClose->setAutoDefault(false);
    connect(btnClose, &QPushButton::clicked, this, &TfrmFind::btnCloseClick);

    grpbxHelpInfo = new QGroupBox(this);
    mmHelpInfo = new QPlainTextEdit(grpbxHelpInfo);
    mmHelpInfo->setReadOnly(true);
    mmHelpInfo->setMaximumHeight(90);
    grpbxHelpInfo->hide();
}

void TfrmFind::CreateReplaceGroup() {
    grpbxReplace = new QGroupBox(this);
    lblReplaceFrom = new QLabel(grpbxReplace);
    edtReplaceFrom = new QLineEdit(grpbxReplace);
    edtReplaceFrom->setValidator(new UpperCaseValidator(edtReplaceFrom));
    lblReplaceFrom->setBuddy(edtReplaceFrom);
    lblReplaceTo = new QLabel(grpbxReplace);
    edtReplaceTo = new QLineEdit(grpbxReplace);
    lblReplaceTo->setBuddy(edtReplaceTo);
    btnReplace = new QPushButton(grpbxReplace);
    btnReplaceAll = new QPushButton(grpbxReplace);
    for (QPushButton* button : {btnReplace, btnReplaceAll}) {
        button->setEnabled(false);
        button->setAutoDefault(false);
    }
    chckbxReplaceKey = NewTickedBox(grpbxReplace);
    chckbxReplaceValue = NewTickedBox(grpbxReplace);
    chckbxReplaceData = NewTickedBox(grpbxReplace);
    connect(edtReplaceFrom, &QLineEdit::textChanged, this, &TfrmFind::ReplaceTextsChange);
    connect(edtReplaceTo, &QLineEdit::textChanged, this, &TfrmFind::ReplaceTextsChange);
    connect(chckbxReplaceKey, &QCheckBox::toggled, this, &TfrmFind::ReplaceTextsChange);
    connect(btnReplace, &QPushButton::clicked, this, &TfrmFind::ReplaceSelected);
    connect(btnReplaceAll, &QPushButton::clicked, this, &TfrmFind::ReplaceAll);
    grpbxReplace->setVisible(role_ == Role::Replace);
}

void TfrmFind::CreateResultList() {
    grpbxFoundResult = new QGroupBox(this);
    // A table view keeps no per-row layout, so rows arriving in batches cost nothing per row shown so far.
    lstvwFound = new QTableView(grpbxFoundResult);
    lstvwFound->setObjectName("lstvwFound");
    lstvwFound->setMinimumHeight(kMinimumListHeight);
    lstvwFound->setModel(model_);
    lstvwFound->setShowGrid(false);
    lstvwFound->setWordWrap(false);
    lstvwFound->verticalHeader()->hide();
    lstvwFound->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lstvwFound->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
    lstvwFound->horizontalHeader()->setHighlightSections(false);
    lstvwFound->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lstvwFound->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstvwFound->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstvwFound->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstvwFound->setContextMenuPolicy(Qt::CustomContextMenu);
    // Key paths rarely fit their column: a cut cell shows its whole text as a tip, and a cut path keeps its
    // root and its last keys.
    lstvwFound->setItemDelegate(new ui::ItemViewDelegate(true, lstvwFound));
    lstvwFound->setItemDelegateForColumn(FoundListModel::kAtKeyColumn, new MiddleCutDelegate(lstvwFound));
    // Data takes whatever width the other three columns leave.
    lstvwFound->horizontalHeader()->setStretchLastSection(true);
    lstvwFound->horizontalHeader()->setSectionsMovable(false);
    for (int column = 0; column < FoundListModel::kDataColumn; ++column)
        lstvwFound->horizontalHeader()->resizeSection(column, kColumnWidths[column]);
    model_->SetRenameHandler([this](int row, const std::string& name) { RenameRow(row, name); });
    connect(lstvwFound, &QAbstractItemView::doubleClicked, this, [this] {
        if (!walking_) OpenResult();
    });
}

void TfrmFind::LayOut() {
    auto* findLine = new QHBoxLayout;
    findLine->addWidget(lblFindText);
    findLine->addWidget(edtItem, 1);

    auto* confines = new QGridLayout(grpbxConfines);
    confines->setContentsMargins(8, 2, 8, 2);
    confines->setVerticalSpacing(0);
    int index = 0;
    for (QCheckBox* box : {chckbxKey, chckbxValue, chckbxStringData, chckbxDwordData, chckbxBinaryData}) {
        confines->addWidget(box, index % 3, index / 3);
        ++index;
    }

    auto* condition = new QVBoxLayout(rdgrpCondition);
    condition->setContentsMargins(8, 2, 8, 4);
    condition->setSpacing(0);
    auto* scope = new QHBoxLayout;
    scope->addWidget(rdCurrentKey);
    scope->addWidget(rdWholeRegistry);
    scope->addStretch();
    condition->addLayout(scope);
    condition->addWidget(edtCurrentKey);

    auto* groups = new QHBoxLayout;
    groups->addWidget(grpbxConfines);
    groups->addWidget(rdgrpCondition, 1);

    auto* options = new QHBoxLayout;
    options->addWidget(chckbxWildCharSupport);
    options->addWidget(chckbxWholeWordsOnly);
    options->addStretch();

    auto* conditionLayout = new QVBoxLayout(grpbxFindCondition);
    conditionLayout->setContentsMargins(8, 4, 8, 4);
    conditionLayout->addLayout(findLine);
    conditionLayout->addLayout(groups);
    conditionLayout->addLayout(options);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnOk);
    buttons->addWidget(btnClose);
    buttons->addWidget(anmtFind, 0, Qt::AlignHCenter);
    buttons->addStretch();
    buttons->addWidget(chckbxShowHelpInfo);

    auto* top = new QHBoxLayout;
    top->addWidget(grpbxFindCondition, 1);
    top->addLayout(buttons);

    auto* replace = new QGridLayout(grpbxReplace);
    replace->setContentsMargins(8, 4, 8, 4);
    replace->addWidget(lblReplaceFrom, 0, 0);
    replace->addWidget(edtReplaceFrom, 0, 1);
    replace->addWidget(lblReplaceTo, 0, 2);
    replace->addWidget(edtReplaceTo, 0, 3);
    replace->addWidget(btnReplace, 0, 4);
    auto* switches = new QHBoxLayout;
    switches->addWidget(chckbxReplaceKey);
    switches->addWidget(chckbxReplaceValue);
    switches->addWidget(chckbxReplaceData);
    switches->addStretch();
    replace->addLayout(switches, 1, 1, 1, 3);
    replace->addWidget(btnReplaceAll, 1, 4);
    replace->setColumnStretch(1, 1);
    replace->setColumnStretch(3, 1);

    auto* help = new QVBoxLayout(grpbxHelpInfo);
    help->setContentsMargins(8, 2, 8, 4);
    help->addWidget(mmHelpInfo);

    auto* results = new QVBoxLayout(grpbxFoundResult);
    results->setContentsMargins(4, 2, 4, 4);
    results->addWidget(lstvwFound);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->addLayout(top);
    layout->addWidget(grpbxReplace);
    layout->addWidget(grpbxHelpInfo);
    layout->addWidget(grpbxFoundResult, 1);

    // Fields in reading order, then the buttons (the Find button is the default one).
    mmHelpInfo->setTabChangesFocus(true);
    ui::SetTabChain({edtItem,
                     chckbxKey,
                     chckbxValue,
                     chckbxStringData,
                     chckbxDwordData,
                     chckbxBinaryData,
                     rdCurrentKey,
                     rdWholeRegistry,
                     edtCurrentKey,
                     chckbxWildCharSupport,
                     chckbxWholeWordsOnly,
                     chckbxShowHelpInfo,
                     edtReplaceFrom,
                     edtReplaceTo,
                     chckbxReplaceKey,
                     chckbxReplaceValue,
                     chckbxReplaceData,
                     mmHelpInfo,
                     lstvwFound,
                     btnOk,
                     btnClose,
                     btnReplace,
                     btnReplaceAll});
}

void TfrmFind::ApplyLanguage() {
    setWindowTitle(ui::UiText(role_ == Role::Find ? i18n::Text::FindCaption : i18n::Text::ReplaceCaption));
    grpbxFindCondition->setTitle(ui::UiText(i18n::Text::FindCondition));
    lblFindText->setText(ui::UiText(i18n::Text::FindTextLabel));
    grpbxConfines->setTitle(ui::UiText(i18n::Text::FindConfines));
    chckbxKey->setText(ui::UiText(i18n::Text::FindKeys));
    chckbxValue->setText(ui::UiText(i18n::Text::FindValues));
    chckbxStringData->setText(ui::UiText(i18n::Text::FindStringData));
    chckbxDwordData->setText(ui::UiText(i18n::Text::FindDwordData));
    chckbxBinaryData->setText(ui::UiText(i18n::Text::FindBinaryData));
    rdgrpCondition->setTitle(ui::UiText(i18n::Text::FindOptions));
    rdCurrentKey->setText(ui::UiText(i18n::Text::FindInCurrentKey));
    rdWholeRegistry->setText(ui::UiText(i18n::Text::FindInWholeRegistry));
    chckbxWildCharSupport->setText(ui::UiText(i18n::Text::WildCharSupport));
    chckbxWholeWordsOnly->setText(ui::UiText(i18n::Text::WholeWordsOnly));
    SetFindButton(anmtFind->IsRunning());
    btnClose->setText(ui::UiText(i18n::Text::Close));
    chckbxShowHelpInfo->setText(ui::UiText(i18n::Text::ShowHelpInfo));
    grpbxReplace->setTitle(ui::UiText(i18n::Text::ReplaceGroup));
    lblReplaceFrom->setText(ui::UiText(i18n::Text::ReplaceFrom));
    lblReplaceTo->setText(ui::UiText(i18n::Text::ReplaceTo));
    btnReplace->setText(ui::UiText(i18n::Text::ReplaceButton));
    btnReplaceAll->setText(ui::UiText(i18n::Text::ReplaceAllButton));
    chckbxReplaceKey->setText(ui::UiText(i18n::Text::ReplaceInKeys));
    chckbxReplaceValue->setText(ui::UiText(i18n::Text::ReplaceInValues));
    chckbxReplaceData->setText(ui::UiText(i18n::Text::ReplaceInData));
    grpbxHelpInfo->setTitle(ui::UiText(i18n::Text::HelpInfo));
    mmHelpInfo->setPlainText(ui::UiText(i18n::Text::WildCharHelp));
    model_->SetColumnTitles(
        {ui::UiText(i18n::Text::FindColumnResult), ui::UiText(i18n::Text::FindColumnAtKey),
         ui::UiText(i18n::Text::FindColumnAtValue), ui::UiText(i18n::Text::FindColumnData)});
    pppmnitmEdit->setText(ui::UiText(i18n::Text::ResultEdit));
    pppmnitmCopy->setText(ui::UiText(i18n::Text::ResultCopy));
    pppmnitmGoToResult->setText(ui::UiText(i18n::Text::ResultGoTo));
    pppmnitmRename->setText(ui::UiText(i18n::Text::ResultRename));
    pppmnitmDelete->setText(ui::UiText(i18n::Text::ResultDelete));
    pppmnitmSelectAll->setText(ui::UiText(i18n::Text::ResultSelectAll));
    ShowResultCount();
}

void TfrmFind::SetCurrentKey(const std::string& keyPath) {
    edtCurrentKey->setText(QString::fromUtf8(keyPath));
}

void TfrmFind::ShowForKey(const std::string& keyPath) {
    SetCurrentKey(keyPath);
    exec();
}

void TfrmFind::edtItemChange() {
    const std::string text = edtItem->text().toStdString();
    btnOk->setEnabled(!text.empty() || walking_);
    edtReplaceFrom->setText(
        QString::fromUtf8(search::FromTextOfFindText(text, chckbxWildCharSupport->isChecked())));
}

void TfrmFind::ReplaceTextsChange() {
    // A key name cannot hold a backslash, so with key replacing on none is kept in From.
    if (chckbxReplaceKey->isChecked() && edtReplaceFrom->text().contains('\\')) {
        QString from = edtReplaceFrom->text();
        edtReplaceFrom->setText(from.remove('\\')); // comes back here through textChanged
        return;
    }
    const bool allowed =
        search::ReplaceAllowed(edtReplaceFrom->text().toStdString(), edtReplaceTo->text().toStdString());
    btnReplace->setEnabled(allowed);
    btnReplaceAll->setEnabled(allowed);
}

void TfrmFind::TargetClicked(QCheckBox* clicked) {
    for (const QCheckBox* box : {chckbxKey, chckbxValue, chckbxStringData, chckbxDwordData, chckbxBinaryData})
        if (box->isChecked()) return;
    clicked->setChecked(true);
}

void TfrmFind::chckbxWildCharSupportClick() {
    const bool wildcards = chckbxWildCharSupport->isChecked();
    if (wildcards) chckbxWholeWordsOnly->setChecked(false);
    chckbxWholeWordsOnly->setEnabled(!wildcards);
}

void TfrmFind::SetFindButton(bool searching) {
    btnOk->setIcon(ui::ImageListIcon(searching ? ui::kImgNo : ui::kImgFind));
    btnOk->setText(ui::UiText(searching ? i18n::Text::FindStop : i18n::Text::FindStart));
}

void TfrmFind::btnOkClick() {
    // A Stop whose walk has not yet unwound leaves nothing to start until it has.
    if (walking_ && !anmtFind->IsRunning()) return;
    if (anmtFind->IsRunning()) {
        anmtFind->Stop();
    } else {
        anmtFind->Start();
        SetFindButton(true);
        RunSearch();
        anmtFind->Stop();
    }
    SetFindButton(false);
    stopFlag_ = 1;
}

void TfrmFind::RunSearch() {
    // Rows refer to the results, so they go first.
    model_->Clear();
    request_.ClearResults();
    ShowResultCount();

    std::uint8_t targets = 0;
    const std::pair<QCheckBox*, std::uint8_t> boxes[] = {
        {chckbxKey, search::kTargetKeyNames},          {chckbxValue, search::kTargetValueNames},
        {chckbxStringData, search::kTargetStringData}, {chckbxDwordData, search::kTargetDwordData},
        {chckbxBinaryData, search::kTargetBinaryData},
    };
    for (const auto& [box, target] : boxes)
        if (box->isChecked()) targets |= target;
    request_.findText = edtItem->text().toStdString();
    request_.targets = targets;
    request_.mode =
        search::MatchModeOf(chckbxWildCharSupport->isChecked(), chckbxWholeWordsOnly->isChecked());
    request_.startPath = rdCurrentKey->isChecked() ? edtCurrentKey->text().toStdString() : std::string();

    walking_ = true;
    grpbxFindCondition->setEnabled(false);
    grpbxReplace->setEnabled(false);
    sinceYield_.invalidate();
    search::Search(request_);
    walking_ = false;
    model_->Flush();
    ShowResultCount();
    grpbxFindCondition->setEnabled(true);
    grpbxReplace->setEnabled(true);
}

void TfrmFind::YieldToInterface() {
    if (sinceYield_.isValid() && sinceYield_.elapsed() < kYieldMilliseconds) return;
    model_->Flush();
    ShowResultCount();
    QApplication::processEvents();
    sinceYield_.start();
}

void TfrmFind::ShowResultCount() {
    grpbxFoundResult->setTitle(QString::fromStdString(
        i18n::FormatText(i18n::Text::FindResultCount, {std::to_string(model_->Count())})));
}

void TfrmFind::btnCloseClick() {
    stopFlag_ = 1;
    done(QDialog::Accepted);
}

void TfrmFind::reject() {
    stopFlag_ = 1;
    QDialog::reject();
}

void TfrmFind::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btnClose->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmFind::showEvent(QShowEvent* event) {
    // Placed by nobody yet (no remembered place): over the window it was opened from, never at the
    // screen's corner with its title bar out of reach.
    if (!testAttribute(Qt::WA_Moved)) {
        const QWidget* opener = QApplication::activeWindow();
        if (opener && opener != this)
            ui::CentreOver(*this, *opener);
        else
            ui::CentreOnDesktop(*this);
    }
    QDialog::showEvent(event);
    ShowResultCount();
    edtItem->setFocus();
}

} // namespace hw::window
