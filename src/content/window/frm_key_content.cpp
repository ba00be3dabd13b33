#include "content/window/frm_key_content.h"

#include "content/version_line.h"
#include "content/window/find_text_dialog.h"
#include "i18n/text_table.h"
#include "regfile/reg_export.h"
#include "ui/command_set.h"
#include "ui/document_title.h"
#include "ui/form_parts.h"
#include "ui/image_list.h"
#include "ui/ui_text.h"
#include "util/dialog.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QVBoxLayout>

namespace hw::content {

namespace {

using ui::ImageListIcon;
using ui::UiText;

constexpr int kLinesPanelWidth = 100;
constexpr int kSizePanelWidth = 150;
constexpr int kPositionPanelWidth = 50;

QString FormatUiText(i18n::Text text, int first, int second = 0) {
    return QString::fromStdString(i18n::FormatText(text, {std::to_string(first), std::to_string(second)}));
}

} // namespace

TfrmKeyContent::TfrmKeyContent(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      versionLine_(regfile::RegFileHeader()) {
    setObjectName("TfrmKeyContent");
    setWindowIcon(ImageListIcon(ui::kImgRegFileEdit));
    resize(640, 460);

    rchedtContent = new QPlainTextEdit(this);
    rchedtContent->setObjectName("rchedtContent");
    rchedtContent->setLineWrapMode(QPlainTextEdit::NoWrap);
    rchedtContent->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    rchedtContent->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The selection stays as visible when the focus is elsewhere (a find dialog in front).
    QPalette palette = rchedtContent->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    rchedtContent->setPalette(palette);
    rchedtContent->installEventFilter(this);
    rchedtContent->viewport()->installEventFilter(this);
    connect(rchedtContent, &QPlainTextEdit::modificationChanged, this, &TfrmKeyContent::UpdateTitle);
    connect(rchedtContent->document(), &QTextDocument::contentsChanged, this,
            &TfrmKeyContent::UpdateStatusBar);

    fnddlgContent = new TFindTextDialog(TFindTextDialog::Kind::Find, this);
    rplcdlgContent = new TFindTextDialog(TFindTextDialog::Kind::Replace, this);
    connect(fnddlgContent, &TFindTextDialog::findNext, this, [this] { FindNext(false); });
    connect(rplcdlgContent, &TFindTextDialog::findNext, this, [this] { FindNext(true); });
    connect(rplcdlgContent, &TFindTextDialog::replace, this, &TfrmKeyContent::Replace);
    connect(rplcdlgContent, &TFindTextDialog::replaceAll, this, &TfrmKeyContent::ReplaceAll);
    ui::NameParts({{fnddlgContent, "fnddlgContent"}, {rplcdlgContent, "rplcdlgContent"}});

    CreateMenus();
    CreateStatusBar();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(mnContent);
    layout->addWidget(rchedtContent, 1);
    layout->addWidget(sttsbrContent);

    setAcceptDrops(true);
    ApplyLanguage();
    UpdateStatusBar();
}

TfrmKeyContent::~TfrmKeyContent() = default;

void TfrmKeyContent::CreateMenus() {
    mnContent = new QMenuBar(this);
    auto make = [this](QMenu* menu, const char* name, i18n::Text text, int picture, const char* shortcut,
                       auto handler) {
        QAction* action = ui::MakeCommand(*this, {name, text, shortcut, picture});
        menu->addAction(action);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto addMenu = [this](i18n::Text title) {
        QMenu* menu = mnContent->addMenu(QString());
        ui::SetTitleText(*menu, title);
        return menu;
    };
    mnContent->setObjectName("mnContent");
    mnitmFile = addMenu(i18n::Text::ContentMenuFile);
    mnitmLoadFromFile = make(mnitmFile, "mnitmLoadFromFile", i18n::Text::ContentLoadFromFile, ui::kImgLoad,
                             "Ctrl+O", &TfrmKeyContent::mnitmLoadFromFileClick);
    mnitmSaveToFile = make(mnitmFile, "mnitmSaveToFile", i18n::Text::ContentSaveToFile, ui::kImgSave,
                           "Ctrl+S", [this] { mnitmSaveToFileClick(); });
    mnitmFile->addSeparator();
    mnitmImportIntoRegistry = make(mnitmFile, "mnitmImportIntoRegistry", i18n::Text::ContentImport,
                                   ui::kImgImport, "Ctrl+I", &TfrmKeyContent::mnitmImportIntoRegistryClick);
    mnitmFile->addSeparator();
    mnitmPrint = make(mnitmFile, "mnitmPrint", i18n::Text::ContentPrint, ui::kImgPrint, nullptr,
                      &TfrmKeyContent::mnitmPrintClick);
    mnitmFile->addSeparator();
    mnitmClose =
        make(mnitmFile, "mnitmClose", i18n::Text::ContentClose, ui::kImgClose, nullptr, [this] { close(); });
    connect(mnitmFile, &QMenu::aboutToShow, this,
            [this] { mnitmImportIntoRegistry->setEnabled(LineCount() > 0); });

    // The text control keeps its own keys for these; the menu items act on the same text.
    mnitmEdit = addMenu(i18n::Text::ContentMenuEdit);
    mnitmUndo = make(mnitmEdit, "mnitmUndo", i18n::Text::ContentUndo, -1, "Ctrl+Z", [this] {
        if (!rchedtContent->isReadOnly()) rchedtContent->undo();
    });
    mnitmEdit->addSeparator();
    mnitmCut = make(mnitmEdit, "mnitmCut", i18n::Text::ContentCut, ui::kImgCut, "Ctrl+X", [this] {
        if (!rchedtContent->isReadOnly()) rchedtContent->cut();
    });
    mnitmCopy = make(mnitmEdit, "mnitmCopy", i18n::Text::ContentCopy, ui::kImgCopy, "Ctrl+C",
                     [this] { rchedtContent->copy(); });
    mnitmPaste = make(mnitmEdit, "mnitmPaste", i18n::Text::ContentPaste, ui::kImgPaste, "Ctrl+V", [this] {
        if (!rchedtContent->isReadOnly()) rchedtContent->paste();
    });
    mnitmEdit->addSeparator();
    mnitmDelete = make(mnitmEdit, "mnitmDelete", i18n::Text::ContentDelete, ui::kImgDelete, "Del",
                       &TfrmKeyContent::mnitmDeleteClick);
    mnitmClear = make(mnitmEdit, "mnitmClear", i18n::Text::ContentClear, -1, nullptr,
                      &TfrmKeyContent::mnitmClearClick);
    mnitmSelectAll = make(mnitmEdit, "mnitmSelectAll", i18n::Text::ContentSelectAll, -1, "Ctrl+A",
                          [this] { rchedtContent->selectAll(); });
    for (QAction* action : {mnitmUndo, mnitmCut, mnitmCopy, mnitmPaste, mnitmDelete, mnitmSelectAll})
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);

    // Ctrl+S belongs to Save alone: a second owner would leave the key to neither.
    mnitmControl = addMenu(i18n::Text::ContentMenuControl);
    mnitmRegistryVersionInfo = make(mnitmControl, "mnitmRegistryVersionInfo", i18n::Text::RegistryVersionInfo,
                                    ui::kImgVersionInfo, {}, &TfrmKeyContent::mnitmRegistryVersionInfoClick);
    mnitmControl->addSeparator();
    mnitmReadonly = make(mnitmControl, "mnitmReadonly", i18n::Text::SetReadonly, -1, "Ctrl+T",
                         &TfrmKeyContent::mnitmReadonlyClick);

    mnFind = addMenu(i18n::Text::ContentMenuFind);
    mnitmFind = make(mnFind, "mnitmFind", i18n::Text::ContentFind, ui::kImgFind, "Ctrl+F",
                     &TfrmKeyContent::mnitmFindClick);
    mnitmFindNext = make(mnFind, "mnitmFindNext", i18n::Text::ContentFindNext, -1, "F3",
                         &TfrmKeyContent::mnitmFindNextClick);
    mnFind->addSeparator();
    mnitmReplace = make(mnFind, "mnitmReplace", i18n::Text::ContentReplace, -1, "Ctrl+R",
                        &TfrmKeyContent::mnitmReplaceClick);
    ui::NameParts({{mnitmFile, "mnitmFile"},
                   {mnitmEdit, "mnitmEdit"},
                   {mnitmControl, "mnitmControl"},
                   {mnFind, "mnFind"}});
}

void TfrmKeyContent::CreateStatusBar() {
    sttsbrContent = new QStatusBar(this);
    sttsbrContent->setObjectName("sttsbrContent");
    sttsbrContent->setSizeGripEnabled(true);
    pnlLines = new QLabel(sttsbrContent);
    pnlSize = new QLabel(sttsbrContent);
    pnlPosition = new QLabel(sttsbrContent);
    pnlLines->setMinimumWidth(kLinesPanelWidth);
    pnlSize->setMinimumWidth(kSizePanelWidth);
    pnlPosition->setMinimumWidth(kPositionPanelWidth);
    sttsbrContent->addWidget(pnlLines);
    sttsbrContent->addWidget(pnlSize);
    sttsbrContent->addWidget(pnlPosition, 1);
}

void TfrmKeyContent::UpdateTitle() {
    ui::SetDocumentTitle(*this, documentName_, UiText(i18n::Text::KeyContentCaption),
                         rchedtContent->document()->isModified());
}

void TfrmKeyContent::ApplyLanguage() {
    UpdateTitle();
    fnddlgContent->ApplyLanguage();
    rplcdlgContent->ApplyLanguage();
    ui::ApplyCommandTexts(*this);
    UpdateReadonlyCaption();
    UpdateStatusBar();
}

void TfrmKeyContent::ShowModal() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    exec();
}

void TfrmKeyContent::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QTextDocument* document = rchedtContent->document();
    // An export begins with an empty line.
    if (document->blockCount() > 1 && document->firstBlock().length() == 1) {
        QTextCursor cursor(document);
        cursor.deleteChar();
    }
    document->setModified(false);
    UpdateReadonlyCaption();
    rchedtContent->setFocus();
}

void TfrmKeyContent::closeEvent(QCloseEvent* event) {
    if (replaceAllRunning_) {
        // The loop still holds the text; stop it and let the user close afterwards.
        stop_ = true;
        event->ignore();
        return;
    }
    if (!SaveChangesFirst()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

void TfrmKeyContent::keyPressEvent(QKeyEvent* event) {
    // Esc stops Replace All; it never closes the window.
    if (event->key() == Qt::Key_Escape) {
        if (replaceAllRunning_) stop_ = true;
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfrmKeyContent::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == rchedtContent && type == QEvent::KeyPress && replaceAllRunning_) {
        // Only Esc reaches the text while Replace All works in it.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) stop_ = true;
        return true;
    }
    if (type == QEvent::KeyRelease || type == QEvent::MouseButtonRelease) UpdateStatusBar();
    if (watched == rchedtContent->viewport() && (type == QEvent::DragEnter || type == QEvent::Drop)) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData()->hasUrls()) {
            drop->acceptProposedAction();
            if (type == QEvent::Drop) {
                QStringList files;
                for (const QUrl& url : drop->mimeData()->urls())
                    files << url.toLocalFile();
                FilesDropped(files);
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int TfrmKeyContent::LineCount() const {
    const QTextDocument* document = rchedtContent->document();
    return document->isEmpty() ? 0 : document->blockCount();
}

void TfrmKeyContent::UpdateStatusBar() {
    const QTextDocument* document = rchedtContent->document();
    // Sizes count each line break as the two bytes a saved file holds.
    const int size = document->isEmpty() ? 0 : document->characterCount() - 1 + document->blockCount() - 1;
    const QTextCursor caret = rchedtContent->textCursor();
    pnlLines->setText(FormatUiText(i18n::Text::LineCount, LineCount()));
    pnlSize->setText(FormatUiText(i18n::Text::SizeBytes, size));
    pnlPosition->setText(
        FormatUiText(i18n::Text::CaretPosition, caret.positionInBlock(), caret.blockNumber()));
}

QString TfrmKeyContent::StatusPanelText(int panel) const {
    const QLabel* panels[] = {pnlLines, pnlSize, pnlPosition};
    return panel >= 0 && panel < 3 ? panels[panel]->text() : QString();
}

void TfrmKeyContent::UpdateReadonlyCaption() {
    ui::SetCaptionText(*mnitmReadonly,
                       rchedtContent->isReadOnly() ? i18n::Text::CancelReadonly : i18n::Text::SetReadonly);
}

void TfrmKeyContent::SetText(const QString& text, TextEncoding encoding) {
    rchedtContent->setPlainText(text);
    encoding_ = encoding;
    UpdateStatusBar();
}

QString TfrmKeyContent::Text() const {
    return rchedtContent->toPlainText();
}

std::vector<std::string> TfrmKeyContent::Lines() const {
    return SplitTextLines(Text());
}

void TfrmKeyContent::mnitmClearClick() {
    if (rchedtContent->isReadOnly() || !util::AskYesNo(i18n::LookupText(i18n::Text::ClearAllText))) return;
    // Through a cursor, so that Undo brings the text back.
    QTextCursor cursor(rchedtContent->document());
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
}

void TfrmKeyContent::mnitmDeleteClick() {
    if (rchedtContent->isReadOnly()) return;
    // Without a selection Del deletes the character after the caret, as in the text itself.
    QTextCursor cursor = rchedtContent->textCursor();
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    else
        cursor.deleteChar();
    rchedtContent->setTextCursor(cursor);
}

void TfrmKeyContent::mnitmReadonlyClick() {
    rchedtContent->setReadOnly(!rchedtContent->isReadOnly());
    UpdateReadonlyCaption();
}

void TfrmKeyContent::InsertVersionLine() {
    QTextCursor cursor(rchedtContent->document());
    const QString line = QString::fromStdString(versionLine_);
    cursor.insertText(rchedtContent->document()->isEmpty() ? line + "\n" : line + "\n\n");
}

void TfrmKeyContent::mnitmRegistryVersionInfoClick() {
    if (rchedtContent->isReadOnly()) return;
    QTextDocument* document = rchedtContent->document();
    if (!document->isEmpty() && IsVersionLine(document->firstBlock().text().toStdString()) &&
        util::AskYesNo(i18n::LookupText(i18n::Text::VersionInfoReplace))) {
        QTextCursor cursor(document->firstBlock());
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(QString::fromStdString(versionLine_));
        return;
    }
    InsertVersionLine();
}

bool TfrmKeyContent::SaveChangesFirst() {
    if (!rchedtContent->document()->isModified()) return true;
    switch (util::AskYesNoCancel(i18n::LookupText(i18n::Text::NotifyCaption),
                                 i18n::LookupText(i18n::Text::ContentChangedSave))) {
    case util::Answer::Yes:
        // Changes that were not saved after all are kept, never dropped.
        return mnitmSaveToFileClick();
    case util::Answer::No:
        return true;
    case util::Answer::Cancel:
        break;
    }
    return false;
}

void TfrmKeyContent::FilesDropped(const QStringList& files) {
    if (files.isEmpty()) return;
    const QString& file = files.first();
    if (!file.endsWith(QLatin1String(".reg"), Qt::CaseInsensitive) || !QFileInfo(file).isFile()) return;
    LoadFromFile(file.toStdString());
}

} // namespace hw::content
