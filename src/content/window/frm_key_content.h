// The key content editor: registration file text to view, edit, search, save, print and import.
//
// One instance lives for the run. How its openers use it:
//   frmKeyContent->ShowKeyContent(path);   // Key Content, and Edit on a key in the Find window
//   frmKeyContent->ShowEmpty();            // the Reg Key Content Editor tool
//   if (frmKeyContent->LoadFromFile(name)) frmKeyContent->ShowModal(); // Edit Registry File, dropped .reg
//   frmKeyContent->PrintKeyContent(path);  // Print Key Content: the print preview, without the window
//   frmKeyContent->ChooseFileToOpen();     // its open dialog, borrowed by the main window's import
#pragma once

#include "content/window/reg_text_codec.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QFileDialog;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPrinter;
class QStatusBar;

namespace hw::content {

class TFindTextDialog;

class TfrmKeyContent : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmKeyContent(QWidget* parent = nullptr);
    ~TfrmKeyContent() override;

    // Openers. ShowKeyContent shows nothing when the key cannot be exported.
    bool ShowKeyContent(const std::string& keyPath);
    void ShowEmpty();
    // Replaces the text with the file's lines; false (after an error box) when it cannot be read.
    bool LoadFromFile(const std::string& fileName);
    // Runs the on-show steps and shows the window modally.
    void ShowModal();
    void PrintKeyContent(const std::string& keyPath);

    // The text is the key's export with its subtree; false (text emptied) when the key cannot be opened.
    bool SetKeyContent(const std::string& keyPath);
    void SetText(const QString& text, TextEncoding encoding = TextEncoding::Utf8);
    QString Text() const;
    // The text as the lines Save writes and Import reads.
    std::vector<std::string> Lines() const;
    TextEncoding Encoding() const { return encoding_; }
    int LineCount() const;
    QString StatusPanelText(int panel) const;

    // The header line the program writes (the main window's choice).
    void SetVersionLine(const std::string& line) { versionLine_ = line; }
    const std::string& VersionLine() const { return versionLine_; }

    // Runs a file dialog and returns the chosen file; tests replace it to choose without a window.
    using FileDialogRunner = std::function<std::optional<QString>(QFileDialog& dialog)>;
    void SetFileDialogRunner(FileDialogRunner runner) { runFileDialog_ = std::move(runner); }
    std::optional<std::string> ChooseFileToOpen();

    // Shows the text's print preview, from which the user prints; false when cancelled.
    bool Print(const QString& title);
    // Prints the text under title on every page; false when the printer failed.
    bool PrintTo(QPrinter& printer, const QString& title) const;

    // Commands, as the menu items run them.
    void mnitmLoadFromFileClick();
    bool mnitmSaveToFileClick();
    void mnitmImportIntoRegistryClick();
    void mnitmPrintClick();
    void mnitmClearClick();
    void mnitmDeleteClick();
    void mnitmReadonlyClick();
    void mnitmRegistryVersionInfoClick();
    void mnitmFindClick();
    void mnitmFindNextClick();
    void mnitmReplaceClick();
    // The find and replace dialogs' buttons.
    void FindNext(bool fromReplaceDialog);
    void Replace();
    void ReplaceAll();
    // Of a drop only the first file counts, and only a .reg file.
    void FilesDropped(const QStringList& files);

    void ApplyLanguage();

  signals:
    // The window closed after its closing question allowed it.
    void closed();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateMenus();
    void CreateStatusBar();
    void UpdateStatusBar();
    void UpdateReadonlyCaption();
    // Names the key or file shown, marked while changed since it was shown, loaded or saved.
    void UpdateTitle();
    // The Yes/No/Cancel question about unsaved changes; false when the command must not go on.
    bool SaveChangesFirst();
    // Puts the version line and an empty line above the text.
    void InsertVersionLine();
    std::optional<QString> RunFileDialog(QFileDialog& dialog);
    QFileDialog& OpenDialog();
    QFileDialog& SaveDialog();
    bool SaveTo(const QString& fileName);
    // The encoding of text that comes from no file: a version 5 file is saved as UTF-16, others as ANSI.
    TextEncoding NewTextEncoding() const;
    // Selects the next occurrence from position on; false when there is none.
    bool FindFrom(int position, const TFindTextDialog& dialog);

    // Each has its own name as object name, by which tests find it.
    QMenuBar* mnContent;
    QPlainTextEdit* rchedtContent;
    QStatusBar* sttsbrContent;
    QMenu* mnitmFile;
    QMenu* mnitmEdit;
    QMenu* mnitmControl;
    QMenu* mnFind;
    QAction* mnitmLoadFromFile;
    QAction* mnitmSaveToFile;
    QAction* mnitmImportIntoRegistry;
    QAction* mnitmPrint;
    QAction* mnitmClose;
    QAction* mnitmUndo;
    QAction* mnitmCut;
    QAction* mnitmCopy;
    QAction* mnitmPaste;
    QAction* mnitmDelete;
    QAction* mnitmClear;
    QAction* mnitmSelectAll;
    QAction* mnitmRegistryVersionInfo;
    QAction* mnitmReadonly;
    QAction* mnitmFind;
    QAction* mnitmFindNext;
    QAction* mnitmReplace;
    TFindTextDialog* fnddlgContent;
    TFindTextDialog* rplcdlgContent;

    QLabel* pnlLines;
    QLabel* pnlSize;
    QLabel* pnlPosition;
    QFileDialog* opndlgContent = nullptr;
    QFileDialog* svdlgContent = nullptr;
    FileDialogRunner runFileDialog_;
    TextEncoding encoding_ = TextEncoding::Utf8;
    std::string versionLine_;
    QString documentName_; // the key path or the file's name
    bool found_ = false;
    bool stop_ = false;
    bool replaceAllRunning_ = false;
};

} // namespace hw::content
