// The value list: sorting by a header click, one-line rows, and the "(Default)" row of a key without a
// default value.
#include "app/window/value_list_model.h"
#include "core/change_feed.h"
#include "core/value_text.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace hw::test {
namespace {

const std::string kKey = "HKEY_CURRENT_USER\\List";

std::vector<BYTE> Text(const std::string& text) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

class ValueListTest : public MainWindowTest {
  protected:
    void Show(const std::string& path) {
        frmMain_->show();
        ASSERT_TRUE(frmMain_->GoToPath(path)) << path;
        frmMain_->UpdateValueCommands();
    }
    QTreeView* List() const { return Child<QTreeView>(*frmMain_, "lstvwValues"); }
    // A click on the column's header, as the user makes it.
    void ClickHeader(int column) {
        QHeaderView* header = List()->header();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 0; row < frmMain_->ValueRowCount(); ++row)
            if (!frmMain_->ValueModel()->IsPlaceholder(row))
                names.push_back(frmMain_->ValueRecord(row).valueName);
        return names;
    }
    std::string Shown(int row, int column) const {
        return frmMain_->ValueModel()->index(row, column).data().toString().toStdString();
    }
};

TEST_F(ValueListTest, HeaderClicksSortEachColumnAndReverseIt) {
    WriteRawValue(kKey, "Value10", REG_SZ, Text("b"));
    WriteRawValue(kKey, "value2", REG_DWORD, {10, 0, 0, 0});
    WriteRawValue(kKey, "Value1", REG_BINARY, {0xFF});
    WriteRawValue(kKey, "Zeta", REG_DWORD, {9, 1, 0, 0});
    WriteRawValue(kKey, "alpha", REG_SZ, Text("A long text"));
    WriteRawValue(kKey, "Big", REG_BINARY, {0x80, 0x01});
    CreateWindow();
    Show(kKey);
    QHeaderView* header = List()->header();
    // The store's order until the user clicks, without a sort mark.
    const std::vector<std::string> unsorted = Names();
    EXPECT_FALSE(header->isSortIndicatorShown());

    using Names_ = std::vector<std::string>;
    struct Case {
        int column;
        Names_ ascending;
    };
    const Case cases[] = {
        {window::ValueListModel::kNameColumn, Names_{"alpha", "Big", "Value1", "value2", "Value10", "Zeta"}},
        {window::ValueListModel::kTypeColumn, Names_{"Big", "Value1", "value2", "Zeta", "alpha", "Value10"}},
        {window::ValueListModel::kSizeColumn, Names_{"Value1", "Big", "Value10", "value2", "Zeta", "alpha"}},
        // Texts as texts, then numbers as numbers (10 before 265), then bytes as unsigned bytes.
        {window::ValueListModel::kDataColumn, Names_{"alpha", "Value10", "value2", "Zeta", "Big", "Value1"}},
    };
    for (const Case& c : cases) {
        ClickHeader(c.column);
        EXPECT_EQ(Names(), c.ascending) << c.column;
        EXPECT_TRUE(header->isSortIndicatorShown());
        EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder) << c.column;
        ClickHeader(c.column);
        EXPECT_EQ(Names(), Names_(c.ascending.rbegin(), c.ascending.rend())) << c.column;
        EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder) << c.column;
    }
    EXPECT_NE(unsorted, Names());
}

TEST_F(ValueListTest, SortOrderAndSelectionSurviveSortsChangesAndRefills) {
    for (int i = 0; i < 5; ++i)
        WriteRawValue(kKey, "n" + std::to_string(i), REG_DWORD, {static_cast<BYTE>(i * 10), 0, 0, 0});
    CreateWindow();
    Show(kKey);
    ClickHeader(window::ValueListModel::kDataColumn);
    ClickHeader(window::ValueListModel::kDataColumn);
    EXPECT_EQ(Names(), (std::vector<std::string>{"n4", "n3", "n2", "n1", "n0"}));

    SelectRows({frmMain_->FindValueRow(kKey, "n1")});
    ClickHeader(window::ValueListModel::kNameColumn);
    EXPECT_EQ(Names(), (std::vector<std::string>{"n0", "n1", "n2", "n3", "n4"}));
    EXPECT_EQ(frmMain_->SelectedValueRows(), std::vector<int>{frmMain_->FindValueRow(kKey, "n1")});
    ClickHeader(window::ValueListModel::kDataColumn);

    // A changed value moves to its new place, still selected; arriving and refilled rows keep the order.
    WriteRawValue(kKey, "n1", REG_DWORD, {99, 0, 0, 0});
    core::PublishValuesChanged(kKey, {"n1"});
    WriteRawValue(kKey, "n5", REG_DWORD, {25, 0, 0, 0});
    core::PublishValuesChanged(kKey, {"n5"});
    const std::vector<std::string> expected{"n0", "n2", "n5", "n3", "n4", "n1"};
    EXPECT_EQ(Names(), expected);
    EXPECT_EQ(frmMain_->SelectedValueRows(), std::vector<int>{frmMain_->FindValueRow(kKey, "n1")});
    EXPECT_EQ(frmMain_->ValueRecord(frmMain_->FindValueRow(kKey, "n1")).number, 99u);
    frmMain_->RefreshKey();
    EXPECT_EQ(Names(), expected);
}

TEST_F(ValueListTest, MultiLineDataShowsOnOneLineAndKeepsItsBytes) {
    WriteRawValue(kKey, "", REG_SZ, Text("one\r\ntwo\nthree\rfour"));
    WriteRawValue(kKey, "plain", REG_SZ, Text("x"));
    CreateKeyPath(kKey + "\\Single");
    WriteRawValue(kKey + "\\Single", "plain", REG_SZ, Text("x"));
    CreateWindow();
    Show(kKey + "\\Single");
    const int oneLine = List()->visualRect(frmMain_->ValueModel()->index(1, 0)).height();

    Show(kKey);
    const int row = frmMain_->FindValueRow(kKey, "");
    ASSERT_EQ(row, 0);
    const QModelIndex data = frmMain_->ValueModel()->index(row, window::ValueListModel::kDataColumn);
    EXPECT_EQ(Shown(row, window::ValueListModel::kDataColumn), "\"one↵two↵three↵four\"");
    EXPECT_EQ(data.data(Qt::ToolTipRole).toString().toStdString(), "one\r\ntwo\nthree\rfour");
    EXPECT_FALSE(frmMain_->ValueModel()
                     ->index(1, window::ValueListModel::kDataColumn)
                     .data(Qt::ToolTipRole)
                     .isValid());
    EXPECT_EQ(frmMain_->ValueRecord(row).data, Text("one\r\ntwo\nthree\rfour"));
    for (int shown = 0; shown < frmMain_->ValueRowCount(); ++shown)
        EXPECT_EQ(List()->visualRect(frmMain_->ValueModel()->index(shown, 0)).height(), oneLine) << shown;
}

TEST_F(ValueListTest, KeyWithoutDefaultValueShowsThePlaceholderFirst) {
    WriteRawValue(kKey, "b", REG_SZ, Text("x"));
    CreateKeyPath(kKey + "\\WithDefault");
    WriteRawValue(kKey + "\\WithDefault", "", REG_SZ, Text("set"));
    CreateKeyPath(kKey + "\\Empty");
    CreateWindow();

    Show(kKey + "\\WithDefault");
    EXPECT_EQ(ValueCaptions(), std::vector<std::string>{"<Unknow Name>"});
    EXPECT_FALSE(frmMain_->ValueModel()->IsPlaceholder(0));

    for (const std::string& path : {kKey, kKey + "\\Empty"}) {
        Show(path);
        ASSERT_TRUE(frmMain_->ValueModel()->IsPlaceholder(0)) << path;
        EXPECT_EQ(Shown(0, window::ValueListModel::kNameColumn), "(Default)");
        EXPECT_EQ(Shown(0, window::ValueListModel::kTypeColumn), "REG_SZ");
        EXPECT_EQ(Shown(0, window::ValueListModel::kSizeColumn), "");
        EXPECT_EQ(Shown(0, window::ValueListModel::kDataColumn), "(value not set)");
        EXPECT_EQ(frmMain_->FindValueRow(path, ""), -1) << path;
        EXPECT_FALSE(frmMain_->ValueModel()->flags(frmMain_->ValueModel()->index(0, 0)) & Qt::ItemIsEditable);
    }
    EXPECT_EQ(frmMain_->ValueRowCount(), 1);

    // It stays first whatever the order, and a key that cannot be read shows no rows at all.
    Show(kKey);
    ClickHeader(window::ValueListModel::kNameColumn);
    ClickHeader(window::ValueListModel::kNameColumn);
    EXPECT_TRUE(frmMain_->ValueModel()->IsPlaceholder(0));
    DeleteKeyAt(kKey + "\\Empty");
    frmMain_->ValueModel()->SetRows({}, kKey + "\\Empty");
    EXPECT_EQ(frmMain_->ValueRowCount(), 0);
}

TEST_F(ValueListTest, EditingThePlaceholderCreatesTheDefaultValueOnOkOnly) {
    WriteRawValue(kKey, "a", REG_SZ, Text("x"));
    CreateWindow();
    Show(kKey);
    SelectRows({0});
    EXPECT_TRUE(Child<QAction>(*frmMain_, "acValueEdit")->isEnabled());

    bool asked = false;
    WhenModal([this, &asked](QWidget*) {
        asked = true;
        frmStr_->mmValue->setPlainText("nothing");
        frmStr_->btnCancel->click();
    });
    const QPoint placeholder = List()->visualRect(frmMain_->ValueModel()->index(0, 0)).center();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, placeholder);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, placeholder);
    EXPECT_TRUE(asked);
    EXPECT_FALSE(core::ReadRawValue(HKEY_CURRENT_USER, "List", "").has_value());
    EXPECT_TRUE(frmMain_->ValueModel()->IsPlaceholder(0));

    WhenModal([this](QWidget*) {
        EXPECT_EQ(frmStr_->Text(), "");
        frmStr_->mmValue->setPlainText("made");
        frmStr_->btnOk->click();
    });
    Child<QAction>(*frmMain_, "acValueEdit")->trigger();
    const auto made = core::ReadRawValue(HKEY_CURRENT_USER, "List", "");
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(made->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(made->data, Text("made"));
    // The placeholder became the value's row, still selected.
    EXPECT_EQ(ValueCaptions(), (std::vector<std::string>{"<Unknow Name>", "a"}));
    EXPECT_EQ(frmMain_->SelectedValueRows(), std::vector<int>{frmMain_->FindValueRow(kKey, "")});

    // Deleting the default value brings the placeholder back.
    dialogs_.QueueAnswer(true);
    frmMain_->DeleteValues();
    EXPECT_FALSE(core::ReadRawValue(HKEY_CURRENT_USER, "List", "").has_value());
    EXPECT_TRUE(frmMain_->ValueModel()->IsPlaceholder(0));
    EXPECT_EQ(frmMain_->ValueRowCount(), 2);
}

TEST_F(ValueListTest, DeleteRenameAndCopyLeaveThePlaceholderAlone) {
    WriteRawValue(kKey, "a", REG_SZ, Text("x"));
    CreateWindow();
    Show(kKey);
    SelectRows({0});
    for (const char* command : {"acValueDelete", "acValueCopy", "acValueRename"})
        EXPECT_FALSE(Child<QAction>(*frmMain_, command)->isEnabled()) << command;

    // With a value selected too, the commands act on the value only.
    SelectRows({0, 1});
    Child<QAction>(*frmMain_, "acValueCopy")->trigger();
    ASSERT_TRUE(QApplication::clipboard());
    EXPECT_EQ(QApplication::clipboard()->text().toStdString().find("@="), std::string::npos);
    EXPECT_NE(QApplication::clipboard()->text().toStdString().find("\"a\"="), std::string::npos);
    dialogs_.QueueAnswer(true);
    frmMain_->DeleteValues();
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"Sure to delete selected item?"});
    EXPECT_FALSE(core::ReadRawValue(HKEY_CURRENT_USER, "List", "a").has_value());
    EXPECT_FALSE(core::ReadRawValue(HKEY_CURRENT_USER, "List", "").has_value());
    EXPECT_EQ(frmMain_->ValueRowCount(), 1);
}

} // namespace
} // namespace hw::test
