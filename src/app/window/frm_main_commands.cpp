// The command table, the menus, the tool bar and the command states of the main window.
#include "app/window/frm_main.h"

#include "app/value_rows.h"
#include "app/window/frm_about.h"
#include "ui/image_list.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <QToolBar>
#include <QTreeView>

namespace hw::window {

namespace {

constexpr int kKeyTag = 0;
constexpr int kValueTag = 1;
constexpr int kToolSeparatorWidth = 8;

struct NewValueCommand {
    const char* name;
    const char* caption;
    int picture;
};

// Tags 1 to 10 are the value types they create.
const NewValueCommand kNewValueCommands[] = {
    {"acValueNewStringValue", "&String Value", ui::kImgValueText},
    {"acValueNewExpandStringValue", "E&xpand String Value", ui::kImgValueText},
    {"acValueNewBinaryValue", "&Binary Value", ui::kImgValueBytes},
    {"acValueNewDwordValue", "&Dword Value", ui::kImgValueNumber},
    {"acValueNewBigEndianDwordValue", "Big &Endian Dword Value", ui::kImgValueNumber},
    {"acValueNewLinkValue", "&Link Value", ui::kImgValueBytes},
    {"acValueNewMultiStringValue", "&Multi String Value", ui::kImgValueText},
    {"acValueNewResourceListValue", "&Resource List Value", ui::kImgValueBytes},
    {"acValueNewFullResourseDescriptorValue", "&Full Resouce Descriptor Value", ui::kImgValueBytes},
    {"acValueNewResourceRequirementListValue", "Resource Re&quirement List Value", ui::kImgValueBytes},
};

} // namespace

void TfrmMain::CreateCommands() {
    auto make = [this](const char* name, const char* caption, const QKeySequence& shortcut, int tag,
                       int picture = -1) {
        auto* action = new QAction(QString::fromUtf8(caption), this);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        action->setData(tag);
        if (picture >= 0) action->setIcon(ui::ImageListIcon(picture));
        return action;
    };
    acKeyNew = make("acKeyNew", "&Key", {}, kKeyTag, ui::kImgKeyClosed);
    int type = 1;
    for (const NewValueCommand& command : kNewValueCommands)
        acValueNew.push_back(make(command.name, command.caption, {}, type++, command.picture));
    acKeyCopy = make("acKeyCopy", "&Copy Key", QKeySequence("Ctrl+C"), kKeyTag, ui::kImgCopy);
    acKeyPaste = make("acKeyPaste", "&Paste Key", QKeySequence("Ctrl+V"), kKeyTag, ui::kImgPaste);
    acKeyRename = make("acKeyRename", "&Rename", QKeySequence("F2"), kKeyTag);
    acKeyDelete = make("acKeyDelete", "&Del", QKeySequence("Del"), kKeyTag, ui::kImgDelete);
    acValueEdit = make("acValueEdit", "&Edit", {}, 0, ui::kImgEdit);
    acValueCopy = make("acValueCopy", "&Copy Values", QKeySequence("Ctrl+C"), kValueTag, ui::kImgCopy);
    acValuePaste = make("acValuePaste", "&Paste Values", QKeySequence("Ctrl+V"), kValueTag, ui::kImgPaste);
    acValueRename = make("acValueRename", "&Rename", QKeySequence("F2"), kValueTag);
    acValueDelete = make("acValueDelete", "&Del", QKeySequence("Del"), kValueTag, ui::kImgDelete);
    acValueSelectAll = make("acValueSelectAll", "Select &All", QKeySequence("Ctrl+A"), 0);
    acRefresh = make("acRefresh", "&Refresh", QKeySequence("F5"), 0, ui::kImgRefresh);
    acKeyContent = make("acKeyContent", "Key C&ontent", QKeySequence("Ctrl+K"), 0, ui::kImgKeyContent);
    acCurrentKey = make("acCurrentKey", "Current &Key", {}, 0, ui::kImgView);
    acAddToFavorites =
        make("acAddToFavorites", "&Add to Favorites", QKeySequence("Ctrl+D"), 0, ui::kImgFavoriteAdd);
    acExportCurrentKey =
        make("acExportCurrentKey", "&Export Current Key", QKeySequence("Ctrl+E"), 0, ui::kImgExportKey);
    acExportWholeRegistry =
        make("acExportWholeRegistry", "Export &Whole Registry", {}, 0, ui::kImgExportRegistry);
    acImportRegistryFile =
        make("acImportRegistryFile", "&Import Registry File", QKeySequence("Ctrl+I"), 0, ui::kImgImport);
    acEditRegistryFile =
        make("acEditRegistryFile", "Edit &Registry File", QKeySequence("Ctrl+O"), 0, ui::kImgEdit);
    acFind = make("acFind", "&Find", QKeySequence("Ctrl+F"), 0, ui::kImgFind);
    acGoTo = make("acGoTo", "&Go To", QKeySequence("Ctrl+G"), 0, ui::kImgGoTo);
    acRegKeyContentEditor =
        make("acRegKeyContentEditor", "Reg Key &Content Editor", {}, 0, ui::kImgRegFileEdit);
    acHexEditor = make("acHexEditor", "&Hex Editor", {}, 0, ui::kImgHexEditor);
    acEmail = make("acEmail", "&Suggest or Question", {}, 0, ui::kImgMail);
    acExit = make("acExit", "E&xit", {}, 0, ui::kImgClose);
    acOPALExplorer = make("acOPALExplorer", "&OPAL Explorer", {}, 0, ui::kImgPage);

    mnitmPrintKeyContent = make("mnitmPrintKeyContent", "&Print Key Content", {}, 0, ui::kImgPrint);
    mnitmRefreshAll = make("mnitmRefreshAll", "Refresh &All", QKeySequence("Ctrl+Alt+R"), 0);
    mnitmGoToLast = make("mnitmGoToLast", "Go To &Last", QKeySequence("F4"), 0);
    mnitmReplace = make("mnitmReplace", "&Replace", QKeySequence("Ctrl+R"), 0);
    mnitmFavoritesManage = make("mnitmFavoritesManage", "&Manage", {}, 0);
    mnitmSetAsDefaultLanguage = make("mnitmSetAsDefaultLanguage", "&Set as default language", {}, 0);
    mnitmLanguageDefault = make("mnitmLanguageDefault", "&Default", {}, 0);
    mnitmContent = make("mnitmContent", "&Content", QKeySequence("F1"), 0);
    mnitmHomepage = make("mnitmHomepage", "&Homepage", {}, 0);
    mnitmAbout = make("mnitmAbout", "&About...", {}, 0);
    for (QAction* hidden : {mnitmContent, mnitmHomepage}) {
        hidden->setVisible(false);
        hidden->setEnabled(false);
    }

    // Ctrl+C, Ctrl+V, F2 and Del belong to both a key and a value command: the one whose view has the
    // focus gets them.
    for (QAction* action : {acKeyCopy, acKeyPaste, acKeyRename, acKeyDelete}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        trvwKeys->addAction(action);
    }
    for (QAction* action : {acValueCopy, acValuePaste, acValueRename, acValueDelete}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        lstvwValues->addAction(action);
    }
}

void TfrmMain::CreateMenus() {
    mnitmRegistry = menuBar()->addMenu("&Registry");
    mnitmRegistry->addActions({acExportCurrentKey, acExportWholeRegistry});
    mnitmRegistry->addSeparator();
    mnitmRegistry->addActions({acImportRegistryFile, acEditRegistryFile});
    mnitmRegistry->addSeparator();
    mnitmRegistry->addAction(mnitmPrintKeyContent);
    mnitmRegistry->addSeparator();
    mnitmRegistry->addAction(acExit);

    mnitmControl = menuBar()->addMenu("&Control");
    mnitmControl->addActions({acRefresh, mnitmRefreshAll});
    mnitmControl->addSeparator();
    mnitmControl->addActions({acGoTo, mnitmGoToLast});

    auto addNewCommands = [this](QMenu* menu) {
        for (QAction* action : acValueNew)
            menu->addAction(action);
    };
    mnitmEdit = menuBar()->addMenu("&Edit");
    mnitmNew = mnitmEdit->addMenu("&New");
    mnitmNew->addAction(acKeyNew);
    mnitmNew->addSeparator();
    addNewCommands(mnitmNew);
    mnitmEdit->addSeparator();
    mnitmKey = mnitmEdit->addMenu("&Key");
    mnitmKey->addActions({acKeyCopy, acKeyPaste});
    mnitmKey->addSeparator();
    mnitmKey->addAction(acKeyRename);
    mnitmKey->addSeparator();
    mnitmKey->addAction(acKeyDelete);
    mnitmEdit->addSeparator();
    mnitmValue = mnitmEdit->addMenu("&Value");
    mnitmValue->addAction(acValueEdit);
    mnitmValue->addSeparator();
    mnitmValue->addActions({acValueCopy, acValuePaste});
    mnitmValue->addSeparator();
    mnitmValue->addAction(acValueRename);
    mnitmValue->addSeparator();
    mnitmValue->addAction(acValueDelete);
    mnitmValue->addSeparator();
    mnitmValue->addAction(acValueSelectAll);
    mnitmEdit->addSeparator();
    mnitmEdit->addAction(acFind);
    mnitmEdit->addSeparator();
    mnitmEdit->addAction(mnitmReplace);

    mnitmView = menuBar()->addMenu("&View");
    mnitmView->addActions({acCurrentKey, acKeyContent});

    mnitmTool = menuBar()->addMenu("&Tool");
    mnitmTool->addActions({acRegKeyContentEditor, acHexEditor, acOPALExplorer});

    mnitmFavorites = menuBar()->addMenu("&Favorites");
    mnitmFavorites->addActions({acAddToFavorites, mnitmFavoritesManage});
    mnitmFavorites->addSeparator();

    mnitmLanguage = menuBar()->addMenu("&Language");
    mnitmLanguage->addAction(mnitmSetAsDefaultLanguage);
    mnitmLanguage->addSeparator();
    mnitmLanguage->addAction(mnitmLanguageDefault);
    mnitmLanguage->addSeparator();

    mnitmMagicSetting = menuBar()->addMenu("&Magic Setting");

    mnitmHelp = menuBar()->addMenu("&Help");
    mnitmHelp->addActions({mnitmContent, mnitmHomepage, acEmail});
    mnitmHelp->addSeparator();
    mnitmHelp->addAction(mnitmAbout);

    pppmnKey = new QMenu(this);
    pppmnKey->setObjectName("pppmnKey");
    pppmnitmKeyNew = pppmnKey->addMenu("&New");
    pppmnitmKeyNew->addAction(acKeyNew);
    pppmnitmKeyNew->addSeparator();
    addNewCommands(pppmnitmKeyNew);
    pppmnKey->addSeparator();
    pppmnKey->addActions({acKeyCopy, acKeyPaste});
    pppmnKey->addSeparator();
    pppmnKey->addAction(acKeyRename);
    pppmnKey->addSeparator();
    pppmnKey->addAction(acKeyDelete);
    pppmnKey->addSeparator();
    pppmnKey->addActions({acKeyContent, acExportCurrentKey});
    pppmnKey->addSeparator();
    pppmnKey->addActions({acCurrentKey, acAddToFavorites});
    pppmnKey->addSeparator();
    pppmnKey->addAction(acRefresh);

    pppmnValue = new QMenu(this);
    pppmnValue->setObjectName("pppmnValue");
    pppmnValue->addAction(acValueEdit);
    pppmnValue->addSeparator();
    pppmnitmValueNew = pppmnValue->addMenu("&New");
    addNewCommands(pppmnitmValueNew);
    pppmnValue->addSeparator();
    pppmnValue->addActions({acValueCopy, acValuePaste});
    pppmnValue->addSeparator();
    pppmnValue->addAction(acValueRename);
    pppmnValue->addSeparator();
    pppmnValue->addAction(acValueDelete);
    pppmnValue->addSeparator();
    pppmnValue->addAction(acValueSelectAll);
}

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
    tlbrTool->addActions({acExportCurrentKey, acExportWholeRegistry, acImportRegistryFile});
    gap();
    tlbrTool->addAction(acEditRegistryFile);
    gap();
    tlbrTool->addAction(acFind);
    gap();
    tlbrTool->addActions({acRefresh, acGoTo});
    gap();
    tlbrTool->addAction(acAddToFavorites);
    gap();
    tlbrTool->addAction(acKeyContent);
    gap();
    tlbrTool->addActions({acRegKeyContentEditor, acHexEditor, acOPALExplorer});
    gap();
    tlbrTool->addAction(acEmail);
    ApplyToolHints();
    addToolBarBreak();
}

void TfrmMain::ConnectCommands() {
    connect(acRefresh, &QAction::triggered, this, &TfrmMain::RefreshKey);
    connect(mnitmRefreshAll, &QAction::triggered, this, &TfrmMain::RefreshAll);
    connect(acGoTo, &QAction::triggered, this, &TfrmMain::GoTo);
    connect(mnitmGoToLast, &QAction::triggered, this, &TfrmMain::GoToLast);
    connect(acCurrentKey, &QAction::triggered, this, &TfrmMain::ShowCurrentKey);
    connect(acValueSelectAll, &QAction::triggered, this, &TfrmMain::SelectAllValues);
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
    connect(trvwKeys, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        // The right button selects what it points at; the list and status follow before the menu acts.
        KeySelected();
        UpdateKeyCommands();
        pppmnKey->popup(trvwKeys->viewport()->mapToGlobal(pos));
    });
    connect(lstvwValues, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        UpdateValueCommands();
        pppmnValue->popup(lstvwValues->viewport()->mapToGlobal(pos));
    });
    connect(trvwKeys, &QTreeView::expanded, this, &TfrmMain::trvwKeysExpanded);

    ConnectEditCommands();
    ConnectHexEditorCommands();
    ConnectSearchCommands();
    ConnectKeyContentCommands();
    ConnectOpalCommands();
    ConnectFileCommands();
    ConnectRegistryChoiceCommands();
}

void TfrmMain::SetCommandEnabled(QAction* action, bool enabled) {
    action->setEnabled(enabled);
}

void TfrmMain::UpdateKeyCommands() {
    const QModelIndex node = SelectedNode();
    const bool selected = node.isValid();
    for (QAction* action : {acKeyRename, acKeyDelete, acKeyCopy})
        SetCommandEnabled(action, selected && !IsRootNode(node));
    for (QAction* action : {acExportCurrentKey, acAddToFavorites, acKeyContent, acCurrentKey, acRefresh,
                            acKeyNew, mnitmPrintKeyContent, mnitmReplace})
        SetCommandEnabled(action, selected);
    for (QAction* action : acValueNew)
        SetCommandEnabled(action, selected);
    UpdatePasteCommands();
}

void TfrmMain::UpdateValueCommands() {
    const int selectedRows = static_cast<int>(lstvwValues->selectionModel()->selectedRows().size());
    for (QAction* action : {acValueDelete, acValueCopy})
        SetCommandEnabled(action, selectedRows > 0);
    for (QAction* action : {acValueEdit, acValueRename})
        SetCommandEnabled(action, selectedRows == 1);
    UpdatePasteCommands();
}

void TfrmMain::SelectAllValues() {
    lstvwValues->selectAll();
    lstvwValues->setFocus();
}

} // namespace hw::window
