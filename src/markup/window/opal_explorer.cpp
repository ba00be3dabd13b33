#include "markup/window/opal_explorer.h"

#include "i18n/text_table.h"
#include "markup/opal_attributes.h"
#include "markup/opal_values.h"
#include "markup/page/opal_page.h"
#include "markup/page/opal_text.h"
#include "util/dialog.h"
#include "util/file_io.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTabWidget>
#include <QVBoxLayout>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace hw::markup {
namespace {

enum Tab { kViewTab = 0, kSourceTab = 1 };

// Picture numbers of the main window's list.
constexpr int kImgLoad = 8;
constexpr int kImgSave = 9;
constexpr int kImgEdit = 15;
constexpr int kImgClose = 16;
constexpr int kImgOk = 32;
constexpr int kImgView = 37;
constexpr int kImgPage = 38;

constexpr const char* kEmptySource = "<opal></opal>";
constexpr const char* kCaptionSuffix = "- TorvaSoft OPAL Explorer";
constexpr const char* kFileFilter = "TorvaSoft OPAL File (*.opal);;Any file (*)";
constexpr int kPanelWidths[] = {100, 150, 150};

QString UiText(i18n::Text text) {
    return QString::fromStdString(i18n::LookupText(text));
}

QIcon Picture(const QList<QIcon>& pictures, int number) {
    return number < pictures.size() ? pictures[number] : QIcon();
}

bool IsUtf8(const std::string& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    [[maybe_unused]] const QString text =
        decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

} // namespace

TOPALExplorer::TOPALExplorer(const QList<QIcon>& pictures, QWidget* parent) : QDialog(parent) {
    setObjectName("TOPALExplorer");
    setWindowTitle("Torva OPAL Explorer");
    setWindowIcon(Picture(pictures, kImgPage));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    // Larger than the classic 640 x 480, for today's font sizes.
    resize(720, 540);
    setAcceptDrops(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    pcMain = new QTabWidget(this);
    pcMain->setDocumentMode(true);
    scrllbxView = new TOPALPage(pcMain);
    scrllbxView->SetSubmitIcon(Picture(pictures, kImgOk));
    rchedtOPALSource = new QPlainTextEdit(pcMain);
    rchedtOPALSource->setLineWrapMode(QPlainTextEdit::NoWrap);
    rchedtOPALSource->setFrameShape(QFrame::NoFrame);
    rchedtOPALSource->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pcMain->addTab(scrllbxView, Picture(pictures, kImgView), UiText(i18n::Text::OpalView));
    pcMain->addTab(rchedtOPALSource, Picture(pictures, kImgEdit), UiText(i18n::Text::OpalSourceCode));
    layout->addWidget(pcMain);
    CreateMenus(pictures);
    CreateStatusBar(*layout);

    connect(rchedtOPALSource, &QPlainTextEdit::textChanged, this, [this] {
        sourceChanged_ = true;
        modified_ = true;
    });
    connect(pcMain, &QTabWidget::currentChanged, this, &TOPALExplorer::pcMainChange);
    chooseFile_ = [this](bool save) { return DefaultChooser(save); };
}

TOPALExplorer::~TOPALExplorer() = default;

void TOPALExplorer::CreateMenus(const QList<QIcon>& pictures) {
    mnMain = new QMenuBar(this);
    layout()->setMenuBar(mnMain);
    mnitmFile = mnMain->addMenu(UiText(i18n::Text::OpalMenuFile));
    mnitmOpenOPALFile = mnitmFile->addAction(Picture(pictures, kImgLoad), UiText(i18n::Text::OpenOpalFile));
    mnitmOpenOPALFile->setShortcut(QKeySequence("Ctrl+O"));
    mnitmSaveOPALFile = mnitmFile->addAction(Picture(pictures, kImgSave), UiText(i18n::Text::SaveOpalFile));
    mnitmSaveOPALFile->setShortcut(QKeySequence("Ctrl+S"));
    mnitmFile->addSeparator();
    mnitmClose = mnitmFile->addAction(Picture(pictures, kImgClose), UiText(i18n::Text::OpalClose));
    // A menu bar shows a menu's picture instead of its caption, so these menus go without one.
    mnitmControl = mnMain->addMenu(UiText(i18n::Text::OpalMenuControl));
    mnitmSaveSetting = mnitmControl->addAction(Picture(pictures, kImgOk), UiText(i18n::Text::SaveSetting));
    mnitmSaveSetting->setShortcut(QKeySequence("Ctrl+Y"));
    mnitmOperate = mnMain->addMenu(UiText(i18n::Text::OpalMenuOperate));
    mnitmView = mnitmOperate->addAction(Picture(pictures, kImgView), UiText(i18n::Text::OpalView));
    mnitmOPALSourceCode =
        mnitmOperate->addAction(Picture(pictures, kImgEdit), UiText(i18n::Text::OpalSourceCode));
    // Shortcuts work while a menu is closed only when the window carries them.
    addActions({mnitmOpenOPALFile, mnitmSaveOPALFile, mnitmSaveSetting});

    connect(mnitmOpenOPALFile, &QAction::triggered, this, &TOPALExplorer::OpenCommand);
    connect(mnitmSaveOPALFile, &QAction::triggered, this, &TOPALExplorer::SaveCommand);
    connect(mnitmClose, &QAction::triggered, this, &QDialog::close);
    connect(mnitmSaveSetting, &QAction::triggered, scrllbxView, &TOPALPage::SaveSettings);
    connect(mnitmView, &QAction::triggered, this, [this] { ShowTab(kViewTab); });
    connect(mnitmOPALSourceCode, &QAction::triggered, this, [this] { ShowTab(kSourceTab); });
}

void TOPALExplorer::CreateStatusBar(QVBoxLayout& layout) {
    auto* sbExplorer = new QStatusBar(this);
    sbExplorer->setObjectName("sbExplorer");
    const QString texts[] = {"V 1.0", "Author:[TorvaSoft]", "Magic settings page"};
    for (int i = 0; i < 3; ++i) {
        sbExplorerPanels[i] = new QLabel(texts[i], sbExplorer);
        sbExplorerPanels[i]->setMinimumWidth(kPanelWidths[i]);
        sbExplorer->addWidget(sbExplorerPanels[i], i == 2 ? 1 : 0);
    }
    layout.addWidget(sbExplorer);
}

void TOPALExplorer::ApplyTexts() {
    mnitmFile->setTitle(UiText(i18n::Text::OpalMenuFile));
    mnitmOpenOPALFile->setText(UiText(i18n::Text::OpenOpalFile));
    mnitmSaveOPALFile->setText(UiText(i18n::Text::SaveOpalFile));
    mnitmClose->setText(UiText(i18n::Text::OpalClose));
    mnitmControl->setTitle(UiText(i18n::Text::OpalMenuControl));
    mnitmSaveSetting->setText(UiText(i18n::Text::SaveSetting));
    mnitmOperate->setTitle(UiText(i18n::Text::OpalMenuOperate));
    mnitmView->setText(UiText(i18n::Text::OpalView));
    mnitmOPALSourceCode->setText(UiText(i18n::Text::OpalSourceCode));
    pcMain->setTabText(kViewTab, UiText(i18n::Text::OpalView));
    pcMain->setTabText(kSourceTab, UiText(i18n::Text::OpalSourceCode));
}

void TOPALExplorer::showEvent(QShowEvent* event) {
    ApplyTexts();
    QDialog::showEvent(event);
}

std::string TOPALExplorer::OPALContent() const {
    return scrllbxView->Document().Content;
}

void TOPALExplorer::RenderSource(const std::string& source) {
    scrllbxView->RenderDocument(source);
    const TOPALDocument& document = scrllbxView->Document();
    sbExplorerPanels[1]->setText(
        QString::fromStdString(i18n::FormatText(i18n::Text::Author, {document.Author})));
    sbExplorerPanels[2]->setText(Widen(document.Copyright));
    setWindowTitle(Widen(document.Title) + kCaptionSuffix);
    rchedtOPALSource->setReadOnly(BoolValue(GetAttribute(document.Body.Attributes, "readonly"), false));
}

std::string TOPALExplorer::EditorBytes() const {
    const QString text = rchedtOPALSource->toPlainText();
    return latin1_ ? text.toLatin1().toStdString() : text.toUtf8().toStdString();
}

void TOPALExplorer::LoadFile(const std::string& fileName) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error)) return;
    std::ifstream file(fileName, std::ios::binary);
    if (!file) return;
    fileName_ = fileName;
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (!bytes.empty()) {
        RenderSource(bytes);
        latin1_ = !IsUtf8(bytes);
        rchedtOPALSource->setPlainText(
            latin1_ ? QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())) : Widen(bytes));
        sourceChanged_ = false;
    }
    modified_ = false;
}

bool TOPALExplorer::SaveFile(const std::string& fileName) {
    std::string text = EditorBytes();
    if (text.empty()) text = kEmptySource;
    if (!util::ReplaceFileAtomically(fileName, text)) {
        util::ErrorBox(i18n::FormatText(i18n::Text::CannotWriteFile, {fileName}));
        return false;
    }
    modified_ = false;
    return true;
}

void TOPALExplorer::SaveCommand() {
    if (!fileName_.empty()) {
        SaveFile(fileName_);
        return;
    }
    const std::string chosen = chooseFile_(true);
    if (chosen.empty()) return;
    std::error_code error;
    if (std::filesystem::exists(chosen, error) &&
        !util::AskYesNo(i18n::FormatText(i18n::Text::FileExistsReplace, {chosen})))
        return;
    fileName_ = chosen;
    SaveFile(fileName_);
}

void TOPALExplorer::OpenCommand() {
    if (modified_ && util::AskYesNo(i18n::LookupText(i18n::Text::OpalContentChanged))) SaveCommand();
    const std::string chosen = chooseFile_(false);
    if (chosen.empty()) return;
    LoadFile(chosen);
    ShowTab(kViewTab);
}

void TOPALExplorer::ShowTab(int tab) {
    if (pcMain->currentIndex() != tab) pcMain->setCurrentIndex(tab);
}

void TOPALExplorer::pcMainChange(int tab) {
    if (tab != kViewTab || !sourceChanged_) return;
    RenderSource(EditorBytes());
    sourceChanged_ = false;
}

void TOPALExplorer::reject() {
    if (modified_ && util::AskYesNo(i18n::LookupText(i18n::Text::OpalContentChanged))) SaveCommand();
    QDialog::reject();
}

void TOPALExplorer::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TOPALExplorer::dropEvent(QDropEvent* event) {
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        files.push_back(url.isLocalFile() ? url.toLocalFile() : QString());
    DropFiles(files);
    event->acceptProposedAction();
}

void TOPALExplorer::DropFiles(const QStringList& files) {
    if (files.isEmpty()) return;
    const QFileInfo file(files.first());
    if (file.exists() && file.suffix().compare("opal", Qt::CaseInsensitive) == 0)
        LoadFile(file.filePath().toStdString());
}

std::string TOPALExplorer::DefaultChooser(bool save) {
    QFileDialog dialog(this);
    dialog.setNameFilter(kFileFilter);
    dialog.setDefaultSuffix("opal");
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The replace question is the program's own.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

} // namespace hw::markup
