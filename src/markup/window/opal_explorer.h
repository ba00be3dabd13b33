// The OPAL Explorer: a page (view tab) and its source (source tab), opened, edited and saved as *.opal
// files; the save-settings command writes the page's inputs to the registry. Created per use and
// destroyed when it closes. Its commands are made from one description each (ui/command_set) and
// found by their object names. The main window opens one through TfrmMain::OpenOpalExplorer.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QList>

#include <functional>
#include <string>

class QLabel;
class QPlainTextEdit;
class QTabWidget;
class QVBoxLayout;

namespace hw::markup {

class TOPALPage;

class TOPALExplorer : public QDialog {
    Q_OBJECT

  public:
    // pictures: the main window's picture list, for the menus, the tabs and the submit buttons.
    explicit TOPALExplorer(const QList<QIcon>& pictures = {}, QWidget* parent = nullptr);
    ~TOPALExplorer() override;

    // Asks for a file name to open (save false) or save as (save true); empty when cancelled.
    using FileChooser = std::function<std::string(bool save)>;
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    // Loads and renders a file; a file that cannot be opened changes nothing, an empty one only the name.
    void LoadFile(const std::string& fileName);
    // Writes the source text; false (after an error box) when the file cannot be written.
    bool SaveFile(const std::string& fileName);
    void SaveCommand();
    void OpenCommand();
    // What a drop of files does: only the first counts, and only a .opal file that exists is loaded.
    void DropFiles(const QStringList& files);
    // Shows tab 0 (page) or 1 (source), rendering edited source when the page is shown.
    void ShowTab(int tab);
    // Sets the captions from the text table.
    void ApplyTexts();

    const std::string& FileName() const { return fileName_; }
    bool SourceChanged() const { return sourceChanged_; }
    bool Modified() const { return modified_; }
    // The source text of the page last rendered.
    std::string OPALContent() const;

  protected:
    // Every way of closing comes here: the question about unsaved source first.
    void reject() override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateMenus();
    void CreateStatusBar(QVBoxLayout& layout);
    void RenderSource(const std::string& source);
    void pcMainChange(int tab);
    std::string EditorBytes() const;
    std::string DefaultChooser(bool save);

    std::string fileName_;
    bool sourceChanged_ = false;
    bool modified_ = false;
    // Files that are not UTF-8 are shown byte for byte, and written back the same way.
    bool latin1_ = false;
    FileChooser chooseFile_;
    // Reached by tests through their object names.
    QTabWidget* pcMain = nullptr;
    TOPALPage* scrllbxView = nullptr;
    QPlainTextEdit* rchedtOPALSource = nullptr;
    QLabel* sbExplorerPanels[3] = {}; // sbExplorerPanel0 to 2
};

} // namespace hw::markup
