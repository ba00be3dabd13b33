// The command table, the menus, the tool bar and the command states of the main window.
#include "app/window/frm_main.h"

#include "app/value_rows.h"
#include "app/window/frm_about.h"
#include "app/window/registry_browser.h"
#include "ui/command_set.h"
#include "ui/image_list.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

namespace hw::window {

namespace {

using i18n::Text;

constexpr int kKeyTag = 0;
constexpr int kValueTag = 1;
constexpr int kToolSeparatorWidth = 8;

// The menu bar's menus in order; each title a text number.
constexpr const char* kMenuBarMenus[] = {"mnitmRegistry", "mnitmControl",      "mnitmEdit",
                                         "mnitmView",     "mnitmTool",         "mnitmFavorites",
                                         "mnitmLanguage", "mnitmMagicSetting", "mnitmHelp"};
// Tool buttons in order; a null entry is a gap.
constexpr const char* kToolButtons[] = {"acBack",
                                        "acForward",
                                        nullptr,
                                        "acUndo",
                                        "acRedo",
                                        nullptr,
                                        "acExportCurrentKey",
                                        "acExportWholeRegistry",
                                        "acImportRegistryFile",
                                        nullptr,
                                        "acEditRegistryFile",
                                        nullptr,
                                        "acFind",
                                        nullptr,
                                        "acRefresh",
                                        "acGoTo",
                                        nullptr,
                                        "acAddToFavorites",
                                        nullptr,
                                        "acKeyContent",
                                        nullptr,
                                        "acRegKeyContentEditor",
                                        "acHexEditor",
                                        "acOPALExplorer",
                                        nullptr,
                                        "acEmail"};

#define HW_NEW_VALUE_COMMANDS                                                                                \
    "acValueNewStringValue", "acValueNewExpandStringValue", "acValueNewBinaryValue", "acValueNewDwordValue", \
        "acValueNewBigEndianDwordValue", "acValueNewLinkValue", "acValueNewMultiStringValue",                \
        "acValueNewResourceListValue", "acValueNewFullResourseDescriptorValue",                              \
        "acValueNewResourceRequirementListValue"

} // namespace

void TfrmMain::CreateCommands() {
    // Each command once: its object name, caption, shortcut, picture, tool-button hint and tag (key or value
    // side; the new-value commands carry the value type they create).
    struct MainCommand {
        QAction* TfrmMain::*member;
        ui::CommandDescription description;
    };
    static const MainCommand kCommands[] = {
        {&TfrmMain::acUndo, {"acUndo", Text::Undo, "Ctrl+Z", ui::kImgUndo, Text::HintUndo}},
        {&TfrmMain::acRedo, {"acRedo", Text::Redo, "Ctrl+Y", ui::kImgRedo, Text::HintRedo}},
        {&TfrmMain::acBack, {"acBack", Text::Back, "Alt+Left", -1, Text::HintBack}},
        {&TfrmMain::acForward, {"acForward", Text::Forward, "Alt+Right", -1, Text::HintForward}},
        {&TfrmMain::acKeyNew, {"acKeyNew", Text::NewKey, nullptr, ui::kImgKeyClosed, {}, kKeyTag}},
        {nullptr, {"acValueNewStringValue", Text::NewStringValue, nullptr, ui::kImgValueText, {}, 1}},
        {nullptr,
         {"acValueNewExpandStringValue", Text::NewExpandStringValue, nullptr, ui::kImgValueText, {}, 2}},
        {nullptr, {"acValueNewBinaryValue", Text::NewBinaryValue, nullptr, ui::kImgValueBytes, {}, 3}},
        {nullptr, {"acValueNewDwordValue", Text::NewDwordValue, nullptr, ui::kImgValueNumber, {}, 4}},
        {nullptr,
         {"acValueNewBigEndianDwordValue",
          Text::NewBigEndianDwordValue,
          nullptr,
          ui::kImgValueNumber,
          {},
          5}},
        {nullptr, {"acValueNewLinkValue", Text::NewLinkValue, nullptr, ui::kImgValueBytes, {}, 6}},
        {nullptr,
         {"acValueNewMultiStringValue", Text::NewMultiStringValue, nullptr, ui::kImgValueText, {}, 7}},
        {nullptr,
         {"acValueNewResourceListValue", Text::NewResourceListValue, nullptr, ui::kImgValueBytes, {}, 8}},
        {nullptr,
         {"acValueNewFullResourseDescriptorValue",
          Text::NewFullResourceDescriptorValue,
          nullptr,
          ui::kImgValueBytes,
          {},
          9}},
        {nullptr,
         {"acValueNewResourceRequirementListValue",
          Text::NewResourceRequirementsListValue,
          nullptr,
          ui::kImgValueBytes,
          {},
          10}},
        {&TfrmMain::acKeyCopy, {"acKeyCopy", Text::CopyKey, "Ctrl+C", ui::kImgCopy, {}, kKeyTag}},
        {&TfrmMain::acKeyPaste, {"acKeyPaste", Text::PasteKey, "Ctrl+V", ui::kImgPaste, {}, kKeyTag}},
        {&TfrmMain::acKeyRename, {"acKeyRename", Text::RenameKey, "F2", -1, {}, kKeyTag}},
        {&TfrmMain::acKeyDelete, {"acKeyDelete", Text::DeleteKey, "Del", ui::kImgDelete, {}, kKeyTag}},
        {&TfrmMain::acValueEdit, {"acValueEdit", Text::EditValue, nullptr, ui::kImgEdit}},
        {&TfrmMain::acValueCopy, {"acValueCopy", Text::CopyValues, "Ctrl+C", ui::kImgCopy, {}, kValueTag}},
        {&TfrmMain::acValuePaste,
         {"acValuePaste", Text::PasteValues, "Ctrl+V", ui::kImgPaste, {}, kValueTag}},
        {&TfrmMain::acValueRename, {"acValueRename", Text::RenameValue, "F2", -1, {}, kValueTag}},
        {&TfrmMain::acValueDelete,
         {"acValueDelete", Text::DeleteValue, "Del", ui::kImgDelete, {}, kValueTag}},
        {&TfrmMain::acValueSelectAll, {"acValueSelectAll", Text::SelectAllValues, "Ctrl+A"}},
        {&TfrmMain::acRefresh, {"acRefresh", Text::Refresh, "F5", ui::kImgRefresh, Text::HintRefresh}},
        {&TfrmMain::acKeyContent,
         {"acKeyContent", Text::KeyContent, "Ctrl+K", ui::kImgKeyContent, Text::HintKeyContent}},
        {&TfrmMain::acCurrentKey, {"acCurrentKey", Text::CurrentKey, nullptr, ui::kImgView}},
        {&TfrmMain::acAddToFavorites,
         {"acAddToFavorites", Text::AddToFavorites, "Ctrl+D", ui::kImgFavoriteAdd, Text::HintAddToFavorites}},
        {&TfrmMain::acExportCurrentKey,
         {"acExportCurrentKey", Text::ExportCurrentKey, "Ctrl+E", ui::kImgExportKey,
          Text::HintExportCurrentKey}},
        {&TfrmMain::acExportWholeRegistry,
         {"acExportWholeRegistry", Text::ExportWholeRegistry, nullptr, ui::kImgExportRegistry,
          Text::HintExportWholeRegistry}},
        {&TfrmMain::acImportRegistryFile,
         {"acImportRegistryFile", Text::ImportRegistryFile, "Ctrl+I", ui::kImgImport,
          Text::HintImportRegistryFile}},
        {&TfrmMain::acEditRegistryFile,
         {"acEditRegistryFile", Text::EditRegistryFile, "Ctrl+O", ui::kImgEdit, Text::HintEditRegistryFile}},
        {&TfrmMain::acFind, {"acFind", Text::FindInRegistry, "Ctrl+F", ui::kImgFind, Text::HintFind}},
        {&TfrmMain::acGoTo, {"acGoTo", Text::GoTo, "Ctrl+G", ui::kImgGoTo, Text::HintGoTo}},
        {&TfrmMain::acRegKeyContentEditor,
         {"acRegKeyContentEditor", Text::RegKeyContentEditor, nullptr, ui::kImgRegFileEdit,
          Text::HintRegKeyContentEditor}},
        {&TfrmMain::acHexEditor,
         {"acHexEditor", Text::HexEditor, nullptr, ui::kImgHexEditor, Text::HintHexEditor}},
        {&TfrmMain::acEmail, {"acEmail", Text::SuggestOrQuestion, nullptr, ui::kImgMail, Text::HintEmail}},
        {&TfrmMain::acExit, {"acExit", Text::Exit, nullptr, ui::kImgClose}},
        {&TfrmMain::acOPALExplorer, {"acOPALExplorer", Text::OpalExplorer, nullptr, ui::kImgPage}},
        {&TfrmMain::acOpenWinePrefix, {"acOpenWinePrefix", Text::OpenWinePrefix}},
        {&TfrmMain::acOpenOwnRegistry, {"acOpenOwnRegistry", Text::OpenOwnRegistry}},
        {&TfrmMain::acLoadHive, {"acLoadHive", Text::LoadHive}},
        {&TfrmMain::acUnloadHive, {"acUnloadHive", Text::UnloadHive}},
        {&TfrmMain::acOpenWindowsInstallation, {"acOpenWindowsInstallation", Text::OpenWindowsInstallation}},
        {&TfrmMain::mnitmPrintKeyContent,
         {"mnitmPrintKeyContent", Text::PrintKeyContent, nullptr, ui::kImgPrint}},
        {&TfrmMain::mnitmRefreshAll, {"mnitmRefreshAll", Text::RefreshAll, "Ctrl+Alt+R"}},
        {&TfrmMain::mnitmGoToLast, {"mnitmGoToLast", Text::GoToLast, "F4"}},
        {&TfrmMain::mnitmReplace, {"mnitmReplace", Text::ReplaceInRegistry, "Ctrl+R"}},
        {&TfrmMain::mnitmFavoritesManage, {"mnitmFavoritesManage", Text::ManageFavorites}},
        {&TfrmMain::mnitmSetAsDefaultLanguage, {"mnitmSetAsDefaultLanguage", Text::SetAsDefaultLanguage}},
        {&TfrmMain::mnitmLanguageDefault, {"mnitmLanguageDefault", Text::DefaultLanguage}},
        {&TfrmMain::mnitmContent, {"mnitmContent", Text::HelpContent, "F1"}},
        {&TfrmMain::mnitmHomepage, {"mnitmHomepage", Text::Homepage}},
        {&TfrmMain::mnitmAbout, {"mnitmAbout", Text::About}},
    };
    for (const MainCommand& command : kCommands) {
        QAction* action = ui::MakeCommand(*this, command.description);
        if (command.member)
            this->*command.member = action;
        else
            acValueNew.push_back(action);
    }
    for (QAction* hidden : {mnitmContent, mnitmHomepage}) {
        hidden->setVisible(false);
        hidden->setEnabled(false);
    }
    // The image list has no arrows; the style's match the desktop.
    acBack->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    acForward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
}

void TfrmMain::CreateMenus() {
    // Sub-menus come before the menus holding them.
    struct MainMenu {
        QMenu* TfrmMain::*member;
        ui::MenuDescription description;
    };
    static const MainMenu kMenus[] = {
        {&TfrmMain::mnitmRegistry,
         {"mnitmRegistry",
          Text::MenuRegistry,
          {"acExportCurrentKey", "acExportWholeRegistry", nullptr, "acImportRegistryFile",
           "acEditRegistryFile", nullptr, "mnitmPrintKeyContent", nullptr, "acOpenWinePrefix",
           "acOpenOwnRegistry", nullptr, "acLoadHive", "acUnloadHive", "acOpenWindowsInstallation", nullptr,
           "acExit"}}},
        {&TfrmMain::mnitmControl,
         {"mnitmControl",
          Text::MenuControl,
          {"acRefresh", "mnitmRefreshAll", nullptr, "acGoTo", "mnitmGoToLast", nullptr, "acBack",
           "acForward"}}},
        {&TfrmMain::mnitmNew, {"mnitmNew", Text::MenuNew, {"acKeyNew", nullptr, HW_NEW_VALUE_COMMANDS}}},
        {&TfrmMain::mnitmKey,
         {"mnitmKey",
          Text::MenuKey,
          {"acKeyCopy", "acKeyPaste", nullptr, "acKeyRename", nullptr, "acKeyDelete"}}},
        {&TfrmMain::mnitmValue,
         {"mnitmValue",
          Text::MenuValue,
          {"acValueEdit", nullptr, "acValueCopy", "acValuePaste", nullptr, "acValueRename", nullptr,
           "acValueDelete", nullptr, "acValueSelectAll"}}},
        {&TfrmMain::mnitmEdit,
         {"mnitmEdit",
          Text::MenuEdit,
          {"acUndo", "acRedo", nullptr, "mnitmNew", nullptr, "mnitmKey", nullptr, "mnitmValue", nullptr,
           "acFind", nullptr, "mnitmReplace"}}},
        {&TfrmMain::mnitmView, {"mnitmView", Text::MenuView, {"acCurrentKey", "acKeyContent"}}},
        {&TfrmMain::mnitmTool,
         {"mnitmTool", Text::MenuTool, {"acRegKeyContentEditor", "acHexEditor", "acOPALExplorer"}}},
        {&TfrmMain::mnitmFavorites,
         {"mnitmFavorites", Text::MenuFavorites, {"acAddToFavorites", "mnitmFavoritesManage", nullptr}}},
        {&TfrmMain::mnitmLanguage,
         {"mnitmLanguage",
          Text::MenuLanguage,
          {"mnitmSetAsDefaultLanguage", nullptr, "mnitmLanguageDefault", nullptr}}},
        {&TfrmMain::mnitmMagicSetting, {"mnitmMagicSetting", Text::MenuMagicSetting, {}}},
        {&TfrmMain::mnitmHelp,
         {"mnitmHelp", Text::MenuHelp, {"mnitmContent", "mnitmHomepage", "acEmail", nullptr, "mnitmAbout"}}},
        {&TfrmMain::pppmnitmKeyNew,
         {"pppmnitmKeyNew", Text::MenuNew, {"acKeyNew", nullptr, HW_NEW_VALUE_COMMANDS}}},
        {&TfrmMain::pppmnKey,
         {"pppmnKey",
          std::nullopt,
          {"pppmnitmKeyNew", nullptr, "acKeyCopy", "acKeyPaste", nullptr, "acKeyRename", nullptr,
           "acKeyDelete", nullptr, "acKeyContent", "acExportCurrentKey", nullptr, "acCurrentKey",
           "acAddToFavorites", nullptr, "acRefresh"}}},
        {&TfrmMain::pppmnitmValueNew, {"pppmnitmValueNew", Text::MenuNew, {HW_NEW_VALUE_COMMANDS}}},
        {&TfrmMain::pppmnValue,
         {"pppmnValue",
          std::nullopt,
          {"acValueEdit", nullptr, "pppmnitmValueNew", nullptr, "acValueCopy", "acValuePaste", nullptr,
           "acValueRename", nullptr, "acValueDelete", nullptr, "acValueSelectAll"}}},
    };
    for (const MainMenu& menu : kMenus)
        this->*menu.member = ui::MakeMenu(*this, menu.description);
    for (const char* name : kMenuBarMenus)
        menuBar()->addMenu(findChild<QMenu*>(name));
}

#undef HW_NEW_VALUE_COMMANDS

void TfrmMain::CreateToolBar() {
    tlbrTool = addToolBar("tlbrTool");
    tlbrTool->setObjectName("tlbrTool");
    tlbrTool->setMovable(false);
    tlbrTool->setFloatable(false);
    tlbrTool->setIconSize(QSize(20, 20));
    tlbrTool->setMinimumHeight(29);
    auto gap = [this] {
        auto* spacer = new QWidget;
        spacer->setFixedWidth(kToolSeparatorWidth);
        tlbrTool->addWidget(spacer);
    };
    for (const char* button : kToolButtons) {
        if (button)
            tlbrTool->addAction(findChild<QAction*>(button));
        else
            gap();
    }
}

void TfrmMain::ConnectCommands() {
    connect(acRefresh, &QAction::triggered, brwsrRegistry, &RegistryBrowser::RefreshKey);
    connect(mnitmRefreshAll, &QAction::triggered, brwsrRegistry, &RegistryBrowser::RefreshAll);
    connect(acBack, &QAction::triggered, brwsrRegistry, &RegistryBrowser::GoBack);
    connect(acForward, &QAction::triggered, brwsrRegistry, &RegistryBrowser::GoForward);
    connect(acGoTo, &QAction::triggered, this, &TfrmMain::GoTo);
    connect(mnitmGoToLast, &QAction::triggered, this, &TfrmMain::GoToLast);
    connect(acCurrentKey, &QAction::triggered, this, &TfrmMain::ShowCurrentKey);
    connect(acValueSelectAll, &QAction::triggered, brwsrRegistry, &RegistryBrowser::SelectAllValues);
    connect(acExit, &QAction::triggered, this, &QWidget::close);
    connect(mnitmAbout, &QAction::triggered, this, [this] {
        if (dialogs_.frmAbout) dialogs_.frmAbout->exec();
    });
    connect(mnitmSetAsDefaultLanguage, &QAction::triggered, this,
            [] { i18n::SetCurrentLanguageAsDefault(); });
    connect(mnitmLanguageDefault, &QAction::triggered, this, [] { i18n::ApplyStartLanguage(); });

    for (QMenu* menu : {mnitmRegistry, mnitmControl, mnitmEdit, mnitmView, mnitmFavorites})
        connect(menu, &QMenu::aboutToShow, this, [this] {
            UpdateKeyCommands();
            UpdateValueCommands();
        });
    UpdateStepCommands();

    ConnectEditCommands();
    ConnectHexEditorCommands();
    ConnectSearchCommands();
    ConnectKeyContentCommands();
    ConnectOpalCommands();
    ConnectFileCommands();
    ConnectRegistryChoiceCommands();
    ConnectHiveCommands();
    ConnectUndoCommands();
}

void TfrmMain::SetCommandEnabled(QAction* action, bool enabled) {
    action->setEnabled(enabled);
}

void TfrmMain::UpdateKeyCommands() {
    const QModelIndex node = brwsrRegistry->SelectedNode();
    const bool selected = node.isValid();
    for (QAction* action : {acKeyRename, acKeyDelete, acKeyCopy})
        SetCommandEnabled(action, selected && !RegistryBrowser::IsRootNode(node));
    for (QAction* action : {acExportCurrentKey, acAddToFavorites, acKeyContent, acCurrentKey, acRefresh,
                            acKeyNew, mnitmPrintKeyContent, mnitmReplace})
        SetCommandEnabled(action, selected);
    for (QAction* action : acValueNew)
        SetCommandEnabled(action, selected);
    UpdatePasteCommands();
}

void TfrmMain::UpdateValueCommands() {
    const int selectedRows = brwsrRegistry->SelectedRowCount();
    // The "(Default)" placeholder can be edited only.
    const auto valueRows = brwsrRegistry->SelectedValueRows().size();
    for (QAction* action : {acValueDelete, acValueCopy})
        SetCommandEnabled(action, valueRows > 0);
    SetCommandEnabled(acValueEdit, selectedRows == 1);
    SetCommandEnabled(acValueRename, valueRows == 1);
    UpdatePasteCommands();
}

} // namespace hw::window
