#include "support/qt/window_fixture.h"
#include "support/qt/child.h"

#include "app/window/hivewright_application.h"
#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/quiet_key_ops.h"
#include "core/scoped_key.h"
#include "core/value_text.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTimer>
#include <QTreeView>
#include <QtWidgets/qtestsupport_widgets.h>

namespace hw::test {

void EnsureQtApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_window";
    static char* argv[] = {name, nullptr};
    new window::HivewrightApplication(argc, argv);
}

void CreateKeyPath(const std::string& path) {
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyExA(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path).c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << path;
    RegCloseKey(key);
}

void WriteRawValue(const std::string& path, const std::string& name, DWORD type,
                   const std::vector<BYTE>& data) {
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyExA(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path).c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void WriteText(const std::string& path, const std::string& name, const std::string& text) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    WriteRawValue(path, name, REG_SZ, data);
}

void DeleteKeyAt(const std::string& path) {
    ASSERT_TRUE(core::RemoveKeyTree(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path))) << path;
}

void DeleteValueAt(const std::string& path, const std::string& name) {
    const core::ScopedKey key =
        core::OpenKey(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path), KEY_SET_VALUE);
    ASSERT_TRUE(key && RegDeleteValueA(key.get(), name.c_str()) == ERROR_SUCCESS) << path << " " << name;
}

MainWindowTest::MainWindowTest() {
    EnsureQtApplication();
}

MainWindowTest::~MainWindowTest() {
    frmFind_.reset();
    frmReplace_.reset();
    frmMain_.reset();
    frmGoTo_.reset();
    frmCurrentKey_.reset();
    frmAbout_.reset();
    frmStr_.reset();
    frmDword_.reset();
    frmBin_.reset();
    frmReplaceConfirm_.reset();
    frmFavorites_.reset();
    frmKeyContent_.reset();
}

void MainWindowTest::CreateWindow() {
    frmMain_ = std::make_unique<window::TfrmMain>();
    frmGoTo_ = std::make_unique<window::TfrmGoTo>();
    frmCurrentKey_ = std::make_unique<window::TfrmCurrentKey>();
    frmAbout_ = std::make_unique<window::TfrmAbout>();
    frmStr_ = std::make_unique<editors::TfrmStr>();
    frmDword_ = std::make_unique<editors::TfrmDword>();
    frmBin_ = std::make_unique<editors::TfrmBin>();
    frmReplaceConfirm_ = std::make_unique<window::TfrmReplaceConfirm>();
    frmFavorites_ = std::make_unique<content::TfrmFavorites>();
    frmFind_ = std::make_unique<window::TfrmFind>(frmMain_->FindHost(), window::TfrmFind::Role::Find);
    frmReplace_ = std::make_unique<window::TfrmFind>(frmMain_->FindHost(), window::TfrmFind::Role::Replace);
    frmKeyContent_ = std::make_unique<content::TfrmKeyContent>();
    frmMain_->AttachDialogs({.frmGoTo = frmGoTo_.get(),
                             .frmCurrentKey = frmCurrentKey_.get(),
                             .frmAbout = frmAbout_.get(),
                             .frmStr = frmStr_.get(),
                             .frmDword = frmDword_.get(),
                             .frmReplaceConfirm = frmReplaceConfirm_.get(),
                             .frmFavorites = frmFavorites_.get(),
                             .frmFind = frmFind_.get(),
                             .frmReplace = frmReplace_.get(),
                             .frmBin = frmBin_.get(),
                             .frmKeyContent = frmKeyContent_.get()});
}

void MainWindowTest::ShowActive() {
    frmMain_->show();
    frmMain_->activateWindow();
    QApplication::setActiveWindow(frmMain_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(frmMain_.get()));
}

window::RegistryBrowser& MainWindowTest::Browser() const {
    return *Child<window::RegistryBrowser>(*frmMain_, "brwsrRegistry");
}

void MainWindowTest::UpdateCommands() {
    emit Child<QMenu>(*frmMain_, "mnitmEdit")->aboutToShow();
}

void MainWindowTest::Run(const char* command) {
    UpdateCommands();
    Child<QAction>(*frmMain_, command)->trigger();
}

std::vector<std::string> MainWindowTest::ChildTexts(const QModelIndex& node) const {
    std::vector<std::string> texts;
    const window::KeyTreeModel* model = Browser().KeyModel();
    for (int row = 0; row < model->rowCount(node); ++row)
        texts.push_back(model->NodeText(model->index(row, 0, node)));
    return texts;
}

std::string MainWindowTest::SelectedPath() const {
    return Browser().NodePath(Browser().SelectedNode());
}

std::vector<std::string> MainWindowTest::ValueCaptions() const {
    std::vector<std::string> captions;
    for (int row = 0; row < Browser().ValueRowCount(); ++row)
        captions.push_back(Browser().ValueRowAt(row).Caption());
    return captions;
}

void MainWindowTest::SelectRows(const std::vector<int>& rows) {
    QItemSelectionModel* selection = Child<QTreeView>(*frmMain_, "lstvwValues")->selectionModel();
    selection->clearSelection();
    for (int row : rows)
        selection->select(Browser().ValueModel()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    UpdateCommands();
}

} // namespace hw::test
