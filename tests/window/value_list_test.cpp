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
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace hw::test {
namespace {

using Names = std::vector<std::string>;
using Model = window::ValueListModel;
const std::string kKey = "HKEY_CURRENT_USER\\List";

std::vector<BYTE> Text(const std::string& text) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

class ValueListTest : public MainWindowTest {
  protected:
    void Show(const std::string& path) {
        if (!frmMain_) CreateWindow();
        frmMain_->show();
        ASSERT_TRUE(Browser().GoToPath(path)) << path;
    }
    QTreeView* List() const { return Child<QTreeView>(*frmMain_, "lstvwValues"); }
    void ClickHeader(int column) {
        QHeaderView* header = List()->header();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }
    // The value names in list order, the placeholder left out.
    Names ValueNames() const {
        Names names;
        for (int row = 0; row < Browser().ValueRowCount(); ++row)
            if (!Browser().ValueModel()->IsPlaceholder(row))
                names.push_back(Browser().ValueRecord(row).valueName);
        return names;
    }
    std::string Shown(int row, int column, int role = Qt::DisplayRole) const {
        return Browser().ValueModel()->index(row, column).data(role).toString().toStdString();
    }
    bool Stored(const std::string& name) {
        return core::ReadRawValue(HKEY_CURRENT_USER, "List", name).has_value();
    }
};

TEST_F(ValueListTest, HeaderClicksSortEachColumnAndReverseIt) {
    WriteRawValue(kKey, "Value10", REG_SZ, Text("b"));
    WriteRawValue(kKey, "value2", REG_DWORD, {10, 0, 0, 0});
    WriteRawValue(kKey, "Value1", REG_BINARY, {0xFF});
    WriteRawValue(kKey, "Zeta", REG_DWORD_BIG_ENDIAN, {0, 0, 1, 9});
    WriteRawValue(kKey, "alpha", REG_SZ, Text("A long text"));
    WriteRawValue(kKey, "Big", REG_BINARY, {0x80, 0x01});
    WriteRawValue(kKey, "q", REG_QWORD, {0, 0, 0, 0, 1, 0, 0, 0});
    Show(kKey);
    QHeaderView* header = List()->header();
    const Names unsorted = ValueNames();
    EXPECT_FALSE(header->isSortIndicatorShown());

    const std::pair<int, Names> ascending[] = {
        {Model::kNameColumn, {"alpha", "Big", "q", "Value1", "value2", "Value10", "Zeta"}},
        {Model::kTypeColumn, {"Big", "Value1", "value2", "Zeta", "alpha", "Value10", "q"}},
        {Model::kSizeColumn, {"Value1", "Big", "Value10", "value2", "Zeta", "q", "alpha"}},
        // Texts as texts, then numbers as numbers (10, 265, 2^32), then bytes unsigned.
        {Model::kDataColumn, {"alpha", "Value10", "value2", "Zeta", "q", "Big", "Value1"}},
    };
    for (const auto& [column, names] : ascending) {
        ClickHeader(column);
        EXPECT_EQ(ValueNames(), names) << column;
        EXPECT_TRUE(header->isSortIndicatorShown());
        ClickHeader(column);
        EXPECT_EQ(ValueNames(), Names(names.rbegin(), names.rend())) << column;
        EXPECT_TRUE(Browser().ValueModel()->IsPlaceholder(0)) << column;
    }
    EXPECT_NE(unsorted, ValueNames());
}

TEST_F(ValueListTest, SortOrderAndSelectionSurviveChangesAndRefills) {
    for (int i = 0; i < 5; ++i)
        WriteRawValue(kKey, "n" + std::to_string(i), REG_DWORD, {static_cast<BYTE>(i * 10), 0, 0, 0});
    Show(kKey);
    ClickHeader(Model::kDataColumn);
    SelectRows({Browser().FindValueRow(kKey, "n1")});
    ClickHeader(Model::kDataColumn);
    EXPECT_EQ(ValueNames(), (Names{"n4", "n3", "n2", "n1", "n0"}));
    EXPECT_EQ(Browser().SelectedValueRows(), std::vector<int>{Browser().FindValueRow(kKey, "n1")});
    ClickHeader(Model::kDataColumn);

    // A changed value moves to its new place, still selected; arriving and refilled rows keep the order.
    WriteRawValue(kKey, "n1", REG_DWORD, {99, 0, 0, 0});
    core::PublishValuesChanged(kKey, {"n1"});
    WriteRawValue(kKey, "n5", REG_DWORD, {25, 0, 0, 0});
    core::PublishValuesChanged(kKey, {"n5"});
    const Names expected{"n0", "n2", "n5", "n3", "n4", "n1"};
    EXPECT_EQ(ValueNames(), expected);
    EXPECT_EQ(Browser().SelectedValueRows(), std::vector<int>{Browser().FindValueRow(kKey, "n1")});
    Browser().RefreshKey();
    EXPECT_EQ(ValueNames(), expected);
}

TEST_F(ValueListTest, MultiLineDataShowsOnOneLineAndKeepsItsBytes) {
    WriteRawValue(kKey + "\\Single", "plain", REG_SZ, Text("x"));
    WriteRawValue(kKey, "", REG_SZ, Text("one\r\ntwo\nthree\rfour"));
    WriteRawValue(kKey, "plain", REG_SZ, Text("x"));
    Show(kKey + "\\Single");
    const int oneLine = List()->visualRect(Browser().ValueModel()->index(1, 0)).height();

    // The multi-line row comes first, where a uniform list takes its row height from.
    Show(kKey);
    ASSERT_EQ(Browser().FindValueRow(kKey, ""), 0);
    EXPECT_EQ(Shown(0, Model::kDataColumn), "\"one↵two↵three↵four\"");
    EXPECT_EQ(Shown(0, Model::kDataColumn, Qt::ToolTipRole), "one\r\ntwo\nthree\rfour");
    EXPECT_EQ(Shown(1, Model::kDataColumn, Qt::ToolTipRole), "");
    EXPECT_EQ(Browser().ValueRecord(0).data, Text("one\r\ntwo\nthree\rfour"));
    for (int row = 0; row < Browser().ValueRowCount(); ++row)
        EXPECT_EQ(List()->visualRect(Browser().ValueModel()->index(row, 0)).height(), oneLine) << row;
}

TEST_F(ValueListTest, OnlyAReadableKeyWithoutDefaultValueShowsThePlaceholder) {
    WriteRawValue(kKey + "\\WithDefault", "", REG_SZ, Text("set"));
    CreateKeyPath(kKey + "\\Empty");
    Show(kKey + "\\WithDefault");
    EXPECT_EQ(ValueCaptions(), Names{"<Unknow Name>"});

    Show(kKey + "\\Empty");
    ASSERT_EQ(Browser().ValueRowCount(), 1);
    EXPECT_TRUE(Browser().ValueModel()->IsPlaceholder(0));
    const Names columns = {Shown(0, Model::kNameColumn), Shown(0, Model::kTypeColumn),
                           Shown(0, Model::kSizeColumn), Shown(0, Model::kDataColumn)};
    EXPECT_EQ(columns, (Names{"(Default)", "REG_SZ", "", "(value not set)"}));
    EXPECT_EQ(Browser().FindValueRow(kKey + "\\Empty", ""), -1);
    EXPECT_FALSE(Browser().ValueModel()->flags(Browser().ValueModel()->index(0, 0)) & Qt::ItemIsEditable);

    DeleteKeyAt(kKey + "\\Empty");
    Browser().ValueModel()->SetRows({}, kKey + "\\Empty");
    EXPECT_EQ(Browser().ValueRowCount(), 0);
}

TEST_F(ValueListTest, ThePlaceholderEditsIntoTheDefaultValueAndOtherCommandsSkipIt) {
    WriteRawValue(kKey, "a", REG_SZ, Text("x"));
    Show(kKey);
    SelectRows({0});
    for (const char* command : {"acValueDelete", "acValueCopy", "acValueRename"})
        EXPECT_FALSE(Child<QAction>(*frmMain_, command)->isEnabled()) << command;

    // With a value selected too, Copy and Delete act on the value only.
    SelectRows({0, 1});
    Child<QAction>(*frmMain_, "acValueCopy")->trigger();
    const std::string copied = QApplication::clipboard()->text().toStdString();
    EXPECT_TRUE(copied.find("\"a\"=") != std::string::npos && copied.find("@=") == std::string::npos);
    dialogs_.QueueAnswer(true);
    Run("acValueDelete");
    EXPECT_EQ(dialogs_.texts(), Names{"Sure to delete selected item?"});
    EXPECT_FALSE(Stored("a") || Stored(""));
    ASSERT_EQ(Browser().ValueRowCount(), 1);

    // A double-click opens the string editor; Cancel writes nothing, OK creates the default value.
    for (const bool ok : {false, true}) {
        WhenModal([this, ok](QWidget*) {
            EXPECT_EQ(frmStr_->Text(), "");
            Child<QPlainTextEdit>(*frmStr_, "mmValue")->setPlainText("made");
            Child<QPushButton>(*frmStr_, ok ? "btnOk" : "btnCancel")->click();
        });
        const QPoint placeholder = List()->visualRect(Browser().ValueModel()->index(0, 0)).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, placeholder);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, placeholder);
        EXPECT_EQ(Stored(""), ok);
    }
    EXPECT_EQ(core::ReadRawValue(HKEY_CURRENT_USER, "List", "")->data, Text("made"));
    // The placeholder became the value's row, still selected; deleting the value brings it back.
    EXPECT_EQ(ValueCaptions(), Names{"<Unknow Name>"});
    EXPECT_EQ(Browser().SelectedValueRows(), std::vector<int>{0});
    dialogs_.QueueAnswer(true);
    Run("acValueDelete");
    EXPECT_FALSE(Stored(""));
    EXPECT_TRUE(Browser().ValueModel()->IsPlaceholder(0));
}

} // namespace
} // namespace hw::test
