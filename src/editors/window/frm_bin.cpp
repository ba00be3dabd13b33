#include "editors/window/frm_bin.h"

#include "editors/window/button_pictures.h"
#include "editors/window/editor_parts.h"
#include "editors/window/frm_bin_find.h"
#include "editors/window/hex_view.h"
#include "i18n/text_table.h"
#include "platform/platform_facts.h"
#include "ui/command_set.h"
#include "ui/document_title.h"
#include "ui/form_parts.h"
#include "ui/ui_text.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace hw::editors {

namespace {

constexpr int kMaxValueLengthOldSystems = 16384;

QString FormattedText(i18n::Text text, long long count) {
    return QString::fromStdString(i18n::FormatText(text, {std::to_string(count)}));
}

} // namespace

TfrmBin::TfrmBin(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Binary Editor"));
    setAcceptDrops(true);
    frmBinFind = new TfrmBinFind(this);

    tbstMain = new QTabBar(this);
    tbstMain->addTab(QStringLiteral("Main"));
    tbstMain->addTab(QStringLiteral("View As Image"));
    pages = new QStackedWidget(this);

    auto* mainPage = new QWidget(pages);
    lblName = new QLabel(QStringLiteral("Name:"), mainPage);
    edtName = NewNameEdit(mainPage);
    lblData = new QLabel(QStringLiteral("Data:"), mainPage);
    lblLength = new QLabel(mainPage);
    lblMax = new QLabel(mainPage);
    QPalette red = lblMax->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblMax->setPalette(red);
    mmHexValue = new HexView(mainPage);
    btnLoad = new QPushButton(QStringLiteral("&Load from file"), mainPage);
    btnLoad->setToolTip(ui::UiText(i18n::Text::LargeFileHint));
    btnSave = new QPushButton(QStringLiteral("&Save to file"), mainPage);
    btnSaveAs = new QPushButton(QStringLiteral("Save &As..."), mainPage);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(lblName);
    nameRow->addWidget(edtName, 1);
    auto* dataRow = new QHBoxLayout;
    dataRow->addWidget(lblData);
    dataRow->addWidget(lblLength);
    dataRow->addStretch();
    dataRow->addWidget(lblMax);
    auto* fileButtons = new QHBoxLayout;
    fileButtons->addWidget(btnLoad);
    fileButtons->addWidget(btnSave);
    fileButtons->addWidget(btnSaveAs);
    fileButtons->addStretch();
    auto* mainLayout = new QVBoxLayout(mainPage);
    mainLayout->setContentsMargins(0, 4, 0, 0);
    mainLayout->addLayout(nameRow);
    mainLayout->addLayout(dataRow);
    mainLayout->addWidget(mmHexValue, 1);
    mainLayout->addLayout(fileButtons);
    pages->addWidget(mainPage);

    auto* picturePage = new QWidget(pages);
    imgMain = new QLabel(picturePage);
    imgMain->setScaledContents(true);
    imgMain->setMinimumSize(1, 1);
    imgMain->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    lblInfo = new QLabel(picturePage);
    btnImageLoad = new QPushButton(QStringLiteral("&Load from Image file"), picturePage);
    btnImageSave = new QPushButton(QStringLiteral("&Save to Image file"), picturePage);
    auto* pictureButtons = new QHBoxLayout;
    pictureButtons->addWidget(btnImageLoad);
    pictureButtons->addWidget(btnImageSave);
    pictureButtons->addStretch();
    auto* pictureLayout = new QVBoxLayout(picturePage);
    pictureLayout->setContentsMargins(0, 4, 0, 0);
    pictureLayout->addWidget(lblInfo);
    pictureLayout->addWidget(imgMain, 1);
    pictureLayout->addLayout(pictureButtons);
    pages->addWidget(picturePage);

    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnOK->setDefault(true);
    auto* closeButtons = new QHBoxLayout;
    closeButtons->addStretch();
    closeButtons->addWidget(btnOK);
    closeButtons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tbstMain);
    layout->addWidget(pages, 1);
    layout->addLayout(closeButtons);

    CreatePopupMenu();
    ui::NameParts({
        {tbstMain, "tbstMain"},
        {pages, "pages"},
        {lblName, "lblName"},
        {edtName, "edtName"},
        {lblData, "lblData"},
        {lblLength, "lblLength"},
        {lblMax, "lblMax"},
        {mmHexValue, "mmHexValue"},
        {btnLoad, "btnLoad"},
        {btnSave, "btnSave"},
        {btnSaveAs, "btnSaveAs"},
        {btnOK, "btnOK"},
        {btnCancel, "btnCancel"},
        {imgMain, "imgMain"},
        {lblInfo, "lblInfo"},
        {btnImageLoad, "btnImageLoad"},
        {btnImageSave, "btnImageSave"},
        {frmBinFind, "frmBinFind"},
    });
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnLoad, &QPushButton::clicked, this, [this] { btnLoadClick(); });
    connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
    connect(btnSaveAs, &QPushButton::clicked, this, [this] { SaveAs(); });
    connect(btnImageLoad, &QPushButton::clicked, this, [this] { btnImageLoadClick(); });
    connect(btnImageSave, &QPushButton::clicked, this, [this] { btnImageSaveClick(); });
    connect(tbstMain, &QTabBar::currentChanged, this, [this](int index) { tbstMainChange(index); });
    connect(mmHexValue, &HexView::bytesChanged, this, [this] {
        UpdateLength();
        modified_ = true;
        UpdateTitle();
    });
    UpdateLength();
    UpdateTitle();
}

TfrmBin::~TfrmBin() = default;

void TfrmBin::SetNamedMode(bool on) {
    namedMode_ = on;
    lblName->setVisible(on);
    edtName->setVisible(on);
    btnSaveAs->setVisible(!on);
    UpdateTitle();
}

void TfrmBin::SetValueName(const std::string& name) {
    edtName->setText(QString::fromStdString(name));
    UpdateTitle();
}

void TfrmBin::SetBytes(std::string bytes) {
    mmHexValue->SetBytes(std::move(bytes));
}

const std::string& TfrmBin::Bytes() const {
    return mmHexValue->Document().Bytes();
}

std::string TfrmBin::HexText() const {
    return mmHexValue->Document().HexText();
}

std::string TfrmBin::PrintableText() const {
    return mmHexValue->Document().PrintableText();
}

void TfrmBin::Clear() {
    edtName->clear();
    SetBytes({});
    fileName_.clear();
    modified_ = false;
    UpdateTitle();
}

std::optional<std::string> TfrmBin::EditValueBytes(const std::string& valueName, std::string bytes) {
    SetNamedMode(true);
    SetValueName(valueName);
    SetBytes(std::move(bytes));
    std::optional<std::string> edited;
    if (exec() == QDialog::Accepted) edited = Bytes();
    Clear();
    return edited;
}

void TfrmBin::ShowFileEditor() {
    Clear();
    SetNamedMode(false);
    exec();
}

void TfrmBin::ShowFileEditor(const std::string& fileName) {
    Clear();
    SetNamedMode(false);
    OpenFile(fileName);
    exec();
}

void TfrmBin::UpdateLength() {
    lblLength->setText(FormattedText(i18n::Text::LengthBytes, static_cast<long long>(Bytes().size())));
}

void TfrmBin::UpdateTitle() {
    // A value is named by its name, a file by its file name.
    const QString document = namedMode_          ? edtName->text()
                             : fileName_.empty() ? QString()
                                                 : QFileInfo(QString::fromStdString(fileName_)).fileName();
    ui::SetDocumentTitle(*this, document, ui::UiText(i18n::Text::BinaryEditorCaption), modified_);
}

void TfrmBin::done(int result) {
    if (!namedMode_ && modified_ && !MayDropChanges()) return;
    QDialog::done(result);
}

void TfrmBin::HideFindCancel() {
    frmBinFind->HideCancel();
}

void TfrmBin::ApplyLanguage() {
    UpdateTitle();
    tbstMain->setTabText(0, ui::UiText(i18n::Text::BinaryMainTab));
    tbstMain->setTabText(1, ui::UiText(i18n::Text::BinaryImageTab));
    lblName->setText(ui::UiText(i18n::Text::NameLabel));
    lblData->setText(ui::UiText(i18n::Text::DataLabel));
    btnLoad->setText(ui::UiText(i18n::Text::LoadFromFile));
    btnLoad->setToolTip(ui::UiText(i18n::Text::LargeFileHint));
    btnSave->setText(ui::UiText(i18n::Text::SaveToFile));
    btnSaveAs->setText(ui::UiText(i18n::Text::SaveAs));
    btnOK->setText(ui::UiText(i18n::Text::Ok));
    btnCancel->setText(ui::UiText(i18n::Text::Cancel));
    btnImageLoad->setText(ui::UiText(i18n::Text::LoadFromImageFile));
    btnImageSave->setText(ui::UiText(i18n::Text::SaveToImageFile));
    ui::ApplyCommandTexts(*this);
    UpdateLength();
    frmBinFind->ApplyLanguage();
}

void TfrmBin::showEvent(QShowEvent* event) {
    if (!picturesLoaded_) {
        btnLoad->setIcon(ButtonPicture(kPictureLoad));
        btnSave->setIcon(ButtonPicture(kPictureSave));
        btnOK->setIcon(ButtonPicture(kPictureOk));
        btnCancel->setIcon(ButtonPicture(kPictureCancel));
        btnImageLoad->setIcon(ButtonPicture(kPictureLoad));
        btnImageSave->setIcon(ButtonPicture(kPictureSave));
        picturesLoaded_ = true;
    }
    SetNamedMode(namedMode_);
    findSucceeded_ = false;
    tbstMain->setCurrentIndex(0);
    pages->setCurrentIndex(0);
    picture_ = QImage();
    imgMain->clear();
    lblInfo->clear();
    const bool oldSystem = platform::GetPlatformFacts().majorVersion <= 4;
    lblMax->setText(oldSystem ? FormattedText(i18n::Text::MaxLengthBytes, kMaxValueLengthOldSystems)
                              : QString());
    UpdateLength();
    mmHexValue->setFocus();
    QDialog::showEvent(event);
}

void TfrmBin::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfrmBin::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    // Only the first file counts; a failure is not reported.
    const QString fileName = urls.front().toLocalFile();
    if (!QFileInfo::exists(fileName)) return;
    if (namedMode_)
        LoadFile(fileName.toStdString());
    else if (!modified_ || MayDropChanges())
        OpenFile(fileName.toStdString());
    event->acceptProposedAction();
}

} // namespace hw::editors
