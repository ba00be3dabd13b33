// Tab leads through every dialog's fields in reading order, then its buttons, and back to the first field.
#include "content/window/find_text_dialog.h"
#include "editors/window/frm_bin_find.h"
#include "markup/window/opal_explorer.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"
#include "support/temp_registry.h"
#include "util/file_io.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <functional>

namespace hw::test {
namespace {

// Unnamed parts (a root's radio button, a tab widget's bar) go by their caption or class.
std::string PartName(const QWidget* widget) {
    if (!widget) return "(none)";
    if (!widget->objectName().isEmpty()) return widget->objectName().toStdString();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text().toStdString();
    return widget->metaObject()->className();
}

QWidget* PartNamed(const QWidget& window, const std::string& name) {
    for (QWidget* part : window.findChildren<QWidget*>())
        if (PartName(part) == name) return part;
    throw std::logic_error("no part " + name);
}

// The parts met by pressing Tab count times, starting on the window's focus widget.
std::vector<std::string> TabWalk(QWidget& window, std::size_t count) {
    std::vector<std::string> met;
    for (std::size_t i = 0; i < count; ++i) {
        QWidget* focus = window.focusWidget();
        met.push_back(PartName(focus));
        if (!focus) break;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return met;
}

class TabOrderTest : public MainWindowTest {
  protected:
    TabOrderTest() { CreateWindow(); }
    void SetLine(QWidget& window, const char* name, const char* text) {
        Child<QLineEdit>(window, name)->setText(QString::fromLatin1(text));
    }
};

TEST_F(TabOrderTest, TabFollowsTheFieldsThenTheButtons) {
    auto& findText = *Child<content::TFindTextDialog>(*frmKeyContent_, "fnddlgContent");
    auto& replaceText = *Child<content::TFindTextDialog>(*frmKeyContent_, "rplcdlgContent");
    auto& binFind = *Child<editors::TfrmBinFind>(*frmBin_, "frmBinFind");
    markup::TOPALExplorer explorer;
    TempDir dir;
    const std::string page = dir.file("page.opal");
    // Listed bottom first: Tab still goes down the page.
    util::WriteFileBytes(page,
                         "<opal><head><title>T</title></head><body>"
                         "<input keyname=\"HKEY_CURRENT_USER\\T\" valuename=C type=checkbox caption=Check "
                         "left=10 top=100></input>"
                         "<input keyname=\"HKEY_CURRENT_USER\\T\" valuename=V left=10 top=10></input>"
                         "</body></opal>");
    explorer.setObjectName("TOPALExplorer");

    struct Case {
        QWidget* window;
        std::function<void()> prepare;
        std::vector<std::string> order; // from the first field
    };
    const Case cases[] = {
        {frmGoTo_.get(), [] {}, {"HKEY_CURRENT_USER", "edtKey", "btnOk", "btnCancel"}},
        {frmCurrentKey_.get(), [] {}, {"edtShortName", "edtLongName", "mmRealPath", "btnOk"}},
        {frmAbout_.get(), [] {}, {"btnOk"}},
        {frmReplaceConfirm_.get(), [] {}, {"scrlbxInfo", "btnYes", "btnNo", "btnCancel"}},
        {frmFind_.get(),
         [&] { SetLine(*frmFind_, "edtItem", "x"); },
         {"edtItem", "chckbxKey", "chckbxValue", "chckbxStringData", "chckbxDwordData", "chckbxBinaryData",
          "rdCurrentKey", "edtCurrentKey", "chckbxWildCharSupport", "chckbxShowHelpInfo", "lstvwFound",
          "btnOk", "btnClose"}},
        {frmReplace_.get(),
         [&] {
             SetLine(*frmReplace_, "edtItem", "x");
             SetLine(*frmReplace_, "edtReplaceTo", "y");
         },
         {"edtItem",
          "chckbxKey",
          "chckbxValue",
          "chckbxStringData",
          "chckbxDwordData",
          "chckbxBinaryData",
          "rdCurrentKey",
          "edtCurrentKey",
          "chckbxWildCharSupport",
          "chckbxShowHelpInfo",
          "edtReplaceFrom",
          "edtReplaceTo",
          "chckbxReplaceKey",
          "chckbxReplaceValue",
          "chckbxReplaceData",
          "lstvwFound",
          "btnOk",
          "btnClose",
          "btnReplace",
          "btnReplaceAll"}},
        {frmStr_.get(),
         [] {},
         {"edtName", "mmValue", "btnPrint", "btnLoad", "btnSave", "btnOk", "btnCancel"}},
        {frmDword_.get(), [] {}, {"edtName", "edtValue", "rdbtnDec", "btnOk", "btnCancel"}},
        {frmBin_.get(),
         [&] { frmBin_->SetNamedMode(true); },
         {"tbstMain", "edtName", "mmHexValue", "btnLoad", "btnSave", "btnOK", "btnCancel"}},
        {&binFind, [] {}, {"edtText", "edtHex", "btnFind", "btnCancel"}},
        {&findText,
         [&] { findText.SetFindText("x"); },
         {"edtFindText", "chckbxMatchCase", "btnFindNext", "btnCancel"}},
        {&replaceText,
         [&] { replaceText.SetFindText("x"); },
         {"edtFindText", "edtReplaceText", "chckbxMatchCase", "btnFindNext", "btnReplace", "btnReplaceAll",
          "btnCancel"}},
        {frmFavorites_.get(),
         [] {},
         {"edtName", "lstbxFavorites", "btnAdd", "btnFavoritesList", "btnCancel", "btnOk"}},
        {frmKeyContent_.get(), [] {}, {"rchedtContent"}},
        {&explorer,
         [&] { explorer.LoadFile(page); },
         {"qt_tabwidget_tabbar", "scrllbxView", "QLineEdit", "Check"}},
    };
    for (const Case& c : cases) {
        c.prepare();
        c.window->show();
        c.window->activateWindow();
        QApplication::processEvents();
        PartNamed(*c.window, c.order.front())->setFocus(Qt::TabFocusReason);
        std::vector<std::string> wanted = c.order;
        wanted.push_back(c.order.front()); // round to the first field again
        EXPECT_EQ(TabWalk(*c.window, wanted.size()), wanted) << c.window->objectName().toStdString();
        c.window->hide();
    }
}

} // namespace
} // namespace hw::test
