#include "markup/window/opal_explorer.h"

#include "i18n/text_table.h"
#include "markup/opal_attributes.h"
#include "markup/opal_values.h"
#include "markup/page/opal_page.h"
#include "markup/page/opal_text.h"
#include "ui/command_set.h"
#include "ui/image_list.h"
#include "ui/ui_text.h"
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

using ui::UiText;

namespace {

enum Tab { kViewTab = 0, kSourceTab = 1 };

constexpr const char* kEmptySource = "<opal></opal>";
constexpr const char* kCaptionSuffix = "- TorvaSoft OPAL Explorer";
constexpr int kPanelWidths[] = {100, 150, 150};

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
    setWindowIcon(Picture(pictures, ui::kImgPage));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    // Larger than the classic 640 x 480, for today's font sizes.
    resize(720, 540);
    setAcceptDrops(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    pcMain = new QTabWidget(this);
    pcMain->setObjectName("pcMain");
    pcMain->setDocumentMode(true);
    scrllbxView = new TOPALPage(pcMain);
    scrllbxView->setObjectName("scrllbxView");
    scrllbxView->SetSubmitIcon(Picture(pictures, ui::kImgOk));
    rchedtOPALSource = new QPlainTextEdit(pcMain);
    rchedtOPALSource->setObjectName("rchedtOPALSource");
    rchedtOPALSource->setLineWrapMode(QPlainTextEdit::NoWrap);
    rchedtOPALSource->setFrameShape(QFrame::NoFrame);
    rchedtOPALSource->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pcMain->addTab(scrllbxView, Picture(pictures, ui::kImgView), UiText(i18n::Text::OpalView));
    pcMain->addTab(rchedtOPALSource, Picture(pictures, ui::kImgEdit), UiText(i18n::Text::OpalSourceCode));
    layout->addWidget(pcMain);
    CreateMenus();
    CreateStatusBar(*layout);

    connect(rchedtOPALSource, &QPlainTextEdit::textChanged, this, [this] {
        sourceChanged_ = true;
        modified_ = true;
    });
    connect(pcMain, &QTabWidget::currentChanged, this, &TOPALExplorer::pcMainChange);
    chooseFile_ = [this](bool save) { return DefaultChooser(save); };
}

TOPALExplorer::~TOPALExplorer() = default;

void TOPALExplorer::CreateMenus() {
    using i18n::Text;
    ui::MakeCommands(
        *this,
        {
            {{"mnitmOpenOPALFile", Text::OpenOpalFile, "Ctrl+O", ui::kImgLoad}, [this] { OpenCommand(); }},
            {{"mnitmSaveOPALFile", Text::SaveOpalFile, "Ctrl+S", ui::kImgSave}, [this] { SaveCommand(); }},
            {{"mnitmClose", Text::OpalClose, nullptr, ui::kImgClose}, [this] { close(); }},
            {{"mnitmSaveSetting", Text::SaveSetting, "Ctrl+Y", ui::kImgOk},
             [this] { scrllbxView->SaveSettings(); }},
            {{"mnitmView", Text::OpalView, nullptr, ui::kImgView}, [this] { ShowTab(kViewTab); }},
            {{"mnitmOPALSourceCode", Text::OpalSourceCode, nullptr, ui::kImgEdit},
             [this] { ShowTab(kSourceTab); }},
        });
    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName("mnMain");
    layout()->setMenuBar(menuBar);
    // A menu bar shows a menu's picture instead of its caption, so the menus go without one.
    for (const ui::MenuDescription& menu : {
             ui::MenuDescription{"mnitmFile",
                                 Text::OpalMenuFile,
                                 {"mnitmOpenOPALFile", "mnitmSaveOPALFile", nullptr, "mnitmClose"}},
             ui::MenuDescription{"mnitmControl", Text::OpalMenuControl, {"mnitmSaveSetting"}},
             ui::MenuDescription{"mnitmOperate", Text::OpalMenuOperate, {"mnitmView", "mnitmOPALSourceCode"}},
         })
        menuBar->addMenu(ui::MakeMenu(*this, menu));
}

void TOPALExplorer::CreateStatusBar(QVBoxLayout& layout) {
    auto* sbExplorer = new QStatusBar(this);
    sbExplorer->setObjectName("sbExplorer");
    const QString texts[] = {QStringLiteral("V 1.0"),
                             QString::fromStdString(i18n::FormatText(i18n::Text::Author, {"TorvaSoft"})),
                             UiText(i18n::Text::MagicSettingsPage)};
    for (int i = 0; i < 3; ++i) {
        sbExplorerPanels[i] = new QLabel(texts[i], sbExplorer);
        sbExplorerPanels[i]->setObjectName(QStringLiteral("sbExplorerPanel%1").arg(i));
        sbExplorerPanels[i]->setMinimumWidth(kPanelWidths[i]);
        sbExplorer->addWidget(sbExplorerPanels[i], i == 2 ? 1 : 0);
    }
    layout.addWidget(sbExplorer);
}

void TOPALExplorer::ApplyTexts() {
    ui::ApplyCommandTexts(*this);
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
    dialog.setNameFilters(
        {QStringLiteral("TorvaSoft OPAL File (*.opal)"), ui::FileFilter(i18n::Text::AnyFileFilter, "*")});
    dialog.setDefaultSuffix("opal");
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The replace question is the program's own.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

} // namespace hw::markup
