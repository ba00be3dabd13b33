// The hex editor: one byte sequence shown as addresses, byte text and characters, with its popup
// commands, file loading and saving, dropped files and a picture page. Callers fill it, show it modally
// and read the bytes back; it never touches the registry. Its popup commands are made from one
// description each (ui/command_set).
#pragma once

#include "i18n/text_id.h"

#include <QDialog>
#include <QFileDialog>
#include <QImage>

#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace hw::editors {

class HexView;
class TfrmBinFind;

class TfrmBin : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmBin(QWidget* parent = nullptr);
    ~TfrmBin() override;

    // Value editing. The named mode shows the value name row; the free-standing file editor hides it.
    void SetNamedMode(bool on);
    bool NamedMode() const { return namedMode_; }
    void SetValueName(const std::string& name);
    void SetBytes(std::string bytes);
    const std::string& Bytes() const;
    std::string HexText() const;       // the byte text (pairs, single blanks)
    std::string PrintableText() const; // the character column's text
    // Empties the name and the bytes.
    void Clear();
    // The whole round of editing one value: named mode on, the name and bytes set, shown modally; the
    // edited bytes on OK, nothing on Cancel; cleared afterwards either way.
    std::optional<std::string> EditValueBytes(const std::string& valueName, std::string bytes);
    // The free-standing file editor (the Hex Editor tool command): empty, no name row, modal.
    void ShowFileEditor();
    // The same with a file loaded first (a dropped file); a load failure is not reported.
    void ShowFileEditor(const std::string& fileName);
    // The free-standing editor's file: loaded, named in the title, written back by Save. Closing with
    // changes not yet saved asks first.
    bool OpenFile(const std::string& fileName);
    const std::string& FileName() const { return fileName_; }
    bool Modified() const { return modified_; }

    // Load and save routines. Loading asks first at 65536 bytes or more; saving replaces the file whole.
    bool LoadFile(const std::string& fileName);
    bool SaveFile(const std::string& fileName);
    // Why the last load failed, for the user (empty when the question was declined).
    const std::string& LoadFailure() const { return loadFailure_; }

    // Popup menu commands.
    void Cut();
    void Copy();
    void Paste();
    void DeleteSelection();
    void Find();
    void FindNext();
    void Print();
    bool ClipboardFilled() const { return clipboardFilled_; }
    bool FindSucceeded() const { return findSucceeded_; }
    // The printout's title: the value's name and "   hex content".
    QString PrintTitle() const;

    // The picture page. The temporary picture file goes into folder (the Windows directory).
    void SetPictureFolder(const std::string& folder) { pictureFolder_ = folder; }
    const QImage& Picture() const { return picture_; }
    bool LoadPictureFile(const QString& fileName);
    bool SavePictureFile(const QString& fileName) const;

    void ApplyLanguage();
    // The find dialog without its Cancel button, for the editor that runs as the only window.
    void HideFindCancel();

  protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreatePopupMenu();
    void UpdatePopupStates();
    void UpdateLength();
    void SearchFrom(std::size_t position, i18n::Text notFoundText);
    void tbstMainChange(int index);
    void ShowPictureOfBytes();
    void btnLoadClick();
    void btnSaveClick();
    // Save As: the file chosen becomes the file in use. False when cancelled or failed (after a message).
    bool SaveAs();
    bool SaveToFileInUse();
    // Asks what to do with unsaved changes: true when they were saved or may be dropped.
    bool MayDropChanges();
    void UpdateTitle();
    // Runs a file dialog that starts in the folder of the file in use; the file chosen, or empty.
    QString ChooseFile(QFileDialog::AcceptMode mode, const QStringList& filters = {},
                       const QString& suffix = {}, const QString& proposedName = {});
    void btnImageLoadClick();
    void btnImageSaveClick();

    bool namedMode_ = false;
    bool picturesLoaded_ = false;
    bool clipboardFilled_ = false;
    bool findSucceeded_ = false;
    std::string clipboard_; // the bytes of the last Cut or Copy
    std::string loadFailure_;
    std::string fileName_;
    bool modified_ = false;
    std::string pictureFolder_;
    QImage picture_;

    // Each has its own name as object name, by which tests find it.
    TfrmBinFind* frmBinFind; // the find dialog, a form of its own
    QTabBar* tbstMain;
    QStackedWidget* pages;
    QLabel* lblName;
    QLineEdit* edtName;
    QLabel* lblData;
    QLabel* lblLength;
    QLabel* lblMax;
    HexView* mmHexValue; // the address, byte text and character columns, drawn
    QPushButton* btnLoad;
    QPushButton* btnSave;
    QPushButton* btnSaveAs; // the free-standing editor's only
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QLabel* imgMain;
    QLabel* lblInfo;
    QPushButton* btnImageLoad;
    QPushButton* btnImageSave;
    QMenu* pppmnHexValue;
    QAction* pppmnHexValueCut;
    QAction* pppmnHexValueCopy;
    QAction* pppmnHexValuePaste;
    QAction* pppmnitmHexValuePrint;
    QAction* pppmnHexValueDelete;
};

} // namespace hw::editors
