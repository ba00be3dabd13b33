// A main window with its dialogs on a fresh temp registry, message boxes scripted.
#pragma once

#include "app/window/frm_about.h"
#include "app/window/frm_current_key.h"
#include "app/window/frm_goto.h"
#include "app/window/frm_main.h"
#include "app/window/frm_replace_confirm.h"
#include "app/window/registry_browser.h"
#include "content/window/frm_favorites.h"
#include "content/window/frm_key_content.h"
#include "editors/window/frm_bin.h"
#include "editors/window/frm_dword.h"
#include "editors/window/frm_str.h"
#include "platform/winreg.h"
#include "search/window/frm_find.h"
#include "support/qt/when_modal.h"
#include "support/temp_registry.h"
#include "util/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <QModelIndex>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hw::test {

// The one QApplication of the test program, created on first use.
void EnsureQtApplication();

// Registry helpers on full paths ("HKEY_CURRENT_USER\\Test").
void CreateKeyPath(const std::string& path);
void WriteRawValue(const std::string& path, const std::string& name, DWORD type,
                   const std::vector<BYTE>& data);
void WriteText(const std::string& path, const std::string& name, const std::string& text);
// Both as another program would: the windows are not told.
void DeleteKeyAt(const std::string& path);
void DeleteValueAt(const std::string& path, const std::string& name);

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest();
    ~MainWindowTest() override;

    // Creates the window (tests may change the platform facts or language file first).
    void CreateWindow();

    // Shows the window as the active one, so that shortcuts reach it.
    void ShowActive();
    // The window's browser: its tree, list and navigation.
    window::RegistryBrowser& Browser() const;
    // Sets the commands' states from the selection, as opening the Edit menu does.
    void UpdateCommands();
    // Runs the command as the user would from its menu: its state set first, nothing run when disabled.
    void Run(const char* command);
    // The texts of the node's loaded children (of the roots for an invalid index).
    std::vector<std::string> ChildTexts(const QModelIndex& node) const;
    std::string SelectedPath() const;
    std::vector<std::string> ValueCaptions() const;
    // Selects exactly these rows of the value list, as the user would, and updates the commands.
    void SelectRows(const std::vector<int>& rows);

    TempRegistry registry_;
    util::ScriptedDialogs dialogs_;
    std::unique_ptr<window::TfrmMain> frmMain_;
    std::unique_ptr<window::TfrmGoTo> frmGoTo_;
    std::unique_ptr<window::TfrmCurrentKey> frmCurrentKey_;
    std::unique_ptr<window::TfrmAbout> frmAbout_;
    std::unique_ptr<editors::TfrmStr> frmStr_;
    std::unique_ptr<editors::TfrmDword> frmDword_;
    std::unique_ptr<editors::TfrmBin> frmBin_;
    std::unique_ptr<window::TfrmReplaceConfirm> frmReplaceConfirm_;
    std::unique_ptr<content::TfrmFavorites> frmFavorites_;
    std::unique_ptr<content::TfrmKeyContent> frmKeyContent_;
    std::unique_ptr<window::TfrmFind> frmFind_;
    std::unique_ptr<window::TfrmFind> frmReplace_;
};

} // namespace hw::test
