// The main window: the registry browser with the menus, the tool bar, the status bar and the dialogs.
#pragma once

#include "app/value_data.h"
#include "app/value_rows.h"
#include "app/window/main_dialogs.h"
#include "content/favorites_list.h"
#include "i18n/language.h"
#include "platform/platform_facts.h"
#include "regfile/reg_export.h"
#include "search/window/find_window_host.h"

#include <QMainWindow>
#include <QModelIndex>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace hw::window {

class RegFileDialog;
class RegistryBrowser;

class TfrmMain : public QMainWindow {
    Q_OBJECT

  public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The dialogs exist only after the main window; commands that need one do nothing until attached.
    void AttachDialogs(const MainDialogs& dialogs);

    // What an accepted in-place edit does: the rename rules, their messages, and the tree or list updated.
    // True when the key or value now has the new name.
    bool RenameKeyNode(const QModelIndex& node, const std::string& newName);
    bool RenameValueRow(int row, const std::string& newName);

    // What the Find and Replace windows may ask of this window.
    FindWindowHost FindHost();

    // The two clipboards of the run; the search results window fills them too.
    app::KeyClipboard& KeyClip() { return keyClipboard_; }
    void SetKeyClipboard(const std::string& keyPath) { keyClipboard_.Set(keyPath); }
    app::ValueClipboard& ValueClip() { return valueClipboard_; }
    void EmptyValueClipboard() { valueClipboard_.Empty(); }
    // A new entry of type 0 with empty texts at the front, for the caller to fill.
    app::TValueCopyData& AddValueClipboardEntry() { return valueClipboard_.AddEntry(); }

    // A file dropped on the window: by its extension, the OPAL Explorer or the hex editor.
    void OpenDroppedFile(const std::string& fileName);

    // Fills the Magic Setting menu with the pages in the folder (the program's, at creation).
    void BuildMagicSettingMenu(const std::string& folder);

    // Set at creation.
    const std::string& RegFileHeader() const { return regFileHeader_; }
    const std::string& WindowsDir() const { return windowsDir_; }
    const std::vector<std::string>& Favorites() const { return favorites_.Lines(); }
    QString StatusText() const;

    // Makes the registry at location (see platform::OpenRegistryAt) the one the window shows; false with an
    // error box when it cannot be opened, the registry in use staying.
    bool OpenRegistry(const std::string& location);

  signals:
    // An allowed close request closed the window: the run ends.
    void closed();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The mouse's back and forward buttons anywhere over the window.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Layout.
    QToolBar* tlbrTool = nullptr;
    RegistryBrowser* brwsrRegistry = nullptr;
    QLabel* sttsbrMain = nullptr;
    RegFileDialog* svdlgExport = nullptr;
    RegFileDialog* opndlgRegFile = nullptr;

    // Menus.
    QMenu* mnitmRegistry = nullptr;
    QMenu* mnitmControl = nullptr;
    QMenu* mnitmEdit = nullptr;
    QMenu* mnitmNew = nullptr;
    QMenu* mnitmKey = nullptr;
    QMenu* mnitmValue = nullptr;
    QMenu* mnitmView = nullptr;
    QMenu* mnitmTool = nullptr;
    QMenu* mnitmFavorites = nullptr;
    QMenu* mnitmLanguage = nullptr;
    QMenu* mnitmMagicSetting = nullptr;
    QMenu* mnitmHelp = nullptr;
    QMenu* pppmnKey = nullptr;
    QMenu* pppmnitmKeyNew = nullptr;
    QMenu* pppmnValue = nullptr;
    QMenu* pppmnitmValueNew = nullptr;
    QAction* mnitmPrintKeyContent = nullptr;
    QAction* mnitmRefreshAll = nullptr;
    QAction* mnitmGoToLast = nullptr;
    QAction* mnitmReplace = nullptr;
    QAction* mnitmFavoritesManage = nullptr;
    QAction* mnitmSetAsDefaultLanguage = nullptr;
    QAction* mnitmLanguageDefault = nullptr;
    QAction* mnitmContent = nullptr;
    QAction* mnitmHomepage = nullptr;
    QAction* mnitmAbout = nullptr;

    // The command table.
    QAction* acKeyNew = nullptr;
    std::vector<QAction*> acValueNew; // tags 1 to 10, in tag order
    QAction* acKeyCopy = nullptr;
    QAction* acKeyPaste = nullptr;
    QAction* acKeyRename = nullptr;
    QAction* acKeyDelete = nullptr;
    QAction* acValueEdit = nullptr;
    QAction* acValueCopy = nullptr;
    QAction* acValuePaste = nullptr;
    QAction* acValueRename = nullptr;
    QAction* acValueDelete = nullptr;
    QAction* acValueSelectAll = nullptr;
    QAction* acRefresh = nullptr;
    QAction* acKeyContent = nullptr;
    QAction* acCurrentKey = nullptr;
    QAction* acAddToFavorites = nullptr;
    QAction* acExportCurrentKey = nullptr;
    QAction* acExportWholeRegistry = nullptr;
    QAction* acImportRegistryFile = nullptr;
    QAction* acEditRegistryFile = nullptr;
    QAction* acFind = nullptr;
    QAction* acGoTo = nullptr;
    QAction* acRegKeyContentEditor = nullptr;
    QAction* acHexEditor = nullptr;
    QAction* acEmail = nullptr;
    QAction* acExit = nullptr;
    QAction* acOPALExplorer = nullptr;
    QAction* acOpenWinePrefix = nullptr;
    QAction *acLoadHive = nullptr, *acUnloadHive = nullptr, *acOpenWindowsInstallation = nullptr;
    QAction* acOpenOwnRegistry = nullptr;
    QAction* acUndo = nullptr;
    QAction* acRedo = nullptr;
    QAction* acBack = nullptr;
    QAction* acForward = nullptr;

    // Editing commands (they act on the browser's selected key and rows).
    void NewKey();
    void NewValue(DWORD type);
    void StartKeyRename();
    void StartValueRename();
    void DeleteKey();
    void DeleteValues();
    void CopyKey();
    void PasteKey();
    void CopyValues();
    void PasteValues();
    void EditValue();
    // Opens the value's editor by its type (string, DWORD or bytes), and on OK writes the value to the
    // registry. The value's row (record and columns) as written, or nothing when the user cancelled or the
    // write failed (the user was told then, and nothing changed).
    std::optional<app::ValueRow> EditValueRecord(const app::TViewData& record);

    // Shows the key's exported text in the key content editor.
    void ShowKeyContentOf(const std::string& keyPath);
    // Loads a registration file into the key content editor and shows it modally.
    void EditRegistryFile(const std::string& fileName);
    // Loads a file into the shared hex editor and shows it modally (a dropped file); a load failure is
    // not reported.
    void OpenFileInHexEditor(const std::string& fileName);
    // File commands.
    void ExportCurrentKey();
    void ExportWholeRegistry();
    void ImportRegistryFile();
    void SendSuggestion();

    // Opens the file (none: an empty page) in a new modal OPAL Explorer, destroyed when it closes; used by
    // the OPAL Explorer command, the Magic Setting menu and files dropped on the window.
    void OpenOpalExplorer(const std::string& fileName);
    // The Magic Setting menu's one disabled entry when no page lies beside the program, and its text.
    static constexpr const char* kNoPagesItem = "mnitmNoMagicPages";

    // Sets the window's captions, hints and column titles from the text table (after a language change).
    void ApplyMainTexts();

    void CreateLayout();
    void ConnectBrowser();
    void CreateCommands();
    void CreateMenus();
    void CreateToolBar();
    void ConnectCommands();
    // Command wiring by area, one file each (frm_main_<area>.cpp).
    void ConnectEditCommands();       // new, rename, delete, clipboards, value editing
    void ConnectHexEditorCommands();  // the hex editor tool
    void ConnectSearchCommands();     // Find and Replace windows
    void ConnectKeyContentCommands(); // key content editor
    void ConnectOpalCommands();       // OPAL Explorer and the Magic Setting menu
    void OnMagicSettingMenuItem(QAction* item);
    void ConnectFileCommands();           // export, import, print, favourites, mail, dropped files
    void ConnectRegistryChoiceCommands(); // which registry the window shows
    void ConnectHiveCommands();           // hive files and Windows installations
    void ConnectUndoCommands();           // undo and redo of what the commands changed
    void UndoLastChange();
    void RedoNextChange();
    // The title names the registry in use; announce also shows why it only reads, if it does.
    void ShowRegistryInUse(bool announce);
    void ConnectFavoritesCommands();
    void AddFavoriteMenuEntry(const std::string& name);
    void AddToFavorites();
    void ManageFavorites();
    void FavoritesGoTo(const std::string& name);
    // Drops the favourites of keys that are gone and writes the file.
    void SaveFavorites();
    // The export dialog and the replace question; the chosen name, or nothing when the user stopped.
    std::optional<std::string> ChooseExportFile();
    // Runs an export with progress and says what the user must know of its outcome.
    void RunExport(const std::string& fileName, const std::string& keyPath,
                   const std::function<regfile::ExportReport(const regfile::ExportProgress&)>& exportTo);
    void RunCreationSteps();
    void BuildLanguageMenu();
    void MarkCurrentLanguage();
    int MenuBarWidthInEveryLanguage() const;
    void SetCommandEnabled(QAction* action, bool enabled);
    void CentreOnScreen();
    // What the browser's key selection does to the commands: their states are set from the first one on.
    void KeySelected();
    void GoTo();
    void GoToLast();
    void ShowCurrentKey();
    // Command states.
    void UpdateKeyCommands();
    void UpdateValueCommands();
    void UpdateUndoCommands();
    void UpdateStepCommands();
    void UpdatePasteCommands();
    bool KeyPasteAllowed() const;
    // Writes one clipboard entry into the open key; false when it could not be written.
    bool PasteValueEntry(HKEY key, const app::TValueCopyData& entry);
    std::optional<app::ValueBytes> EditTextValue(const app::TViewData& record);
    std::optional<app::ValueBytes> EditNumberValue(const app::TViewData& record);
    std::optional<app::ValueBytes> EditBytesValue(const app::TViewData& record);

    platform::PlatformFacts facts_;
    MainDialogs dialogs_;
    content::FavoritesList favorites_;
    app::KeyClipboard keyClipboard_;
    app::ValueClipboard valueClipboard_;
    std::string regFileHeader_;
    std::string windowsDir_;
    i18n::LanguageSubscription languageSubscription_;
    bool firstSelectionDone_ = false;
    bool firstShowDone_ = false;
};

} // namespace hw::window
