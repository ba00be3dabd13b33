// The main window's layout at Qt's own font sizes: columns, status panel, address box, menu bar.
#include "app/window/value_list_model.h"
#include "i18n/language.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTreeView>

namespace hw::test {
namespace {

class LayoutTest : public MainWindowTest {
  protected:
    void TearDown() override {
        i18n::ApplyLanguage("");
        i18n::SetLanguageFilePath("");
    }
    QHeaderView* Header() const { return Child<QTreeView>(*frmMain_, "lstvwValues")->header(); }
    void ShowAt(int width, int height) {
        frmMain_->show();
        QApplication::processEvents();
        frmMain_->resize(width, height);
        QApplication::processEvents();
    }
    void FillColumns(bool wide);
};

// Wide enough: whole names and type names. Narrower: Size and the start of Data stay in view while the two
// columns still grow past their first widths.
void LayoutTest::FillColumns(bool wide) {
    const std::string key = "HKEY_CURRENT_USER\\Layout";
    WriteText(key, "CommonFilesDirectoryOfTheProgram", "x");
    WriteRawValue(key, "list", 10, {1, 2});
    WriteRawValue(key, "odd", 99, {});
    CreateWindow();
    ShowAt(wide ? 1400 : 950, 500);
    const window::ValueListModel* model = Browser().ValueModel();
    for (int column = 0; column < window::ValueListModel::kColumnCount; ++column) {
        EXPECT_EQ(model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                  (QStringList{"Name", "Type", "Size", "Data"}[column]));
        EXPECT_GE(Header()->sectionSize(column), Header()->sectionSizeHint(column))
            << "title cut: " << column;
    }
    const int nameColumn = window::ValueListModel::kNameColumn;
    const int typeColumn = window::ValueListModel::kTypeColumn;
    const int firstName = Header()->sectionSize(nameColumn);
    const int firstType = Header()->sectionSize(typeColumn);

    ASSERT_TRUE(Browser().GoToPath(key));
    auto* view = static_cast<QAbstractItemView*>(Child<QTreeView>(*frmMain_, "lstvwValues"));
    if (wide) {
        for (int column : {nameColumn, typeColumn})
            EXPECT_GE(Header()->sectionSize(column), view->sizeHintForColumn(column))
                << "text cut: " << column;
    } else {
        EXPECT_GT(Header()->sectionSize(nameColumn), firstName);
        EXPECT_GT(Header()->sectionSize(typeColumn), firstType);
        const int dataColumn = window::ValueListModel::kDataColumn;
        EXPECT_GE(Header()->sectionSize(dataColumn), Header()->sectionSizeHint(dataColumn));
    }
    EXPECT_EQ(Header()->sectionSize(0) + Header()->sectionSize(1) + Header()->sectionSize(2) +
                  Header()->sectionSize(3),
              view->viewport()->width());
    EXPECT_EQ(model->index(0, window::ValueListModel::kSizeColumn).data(Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));

    // A width the user gives is kept at the next fill.
    Header()->resizeSection(0, 60);
    Child<QAction>(*frmMain_, "acRefresh")->trigger();
    EXPECT_EQ(Header()->sectionSize(0), 60);
}

TEST_F(LayoutTest, ColumnsFitTheirTextsOnFirstFillInAWideWindow) {
    FillColumns(true);
}

TEST_F(LayoutTest, ColumnsKeepSizeAndDataInViewInANarrowerWindow) {
    FillColumns(false);
}

TEST_F(LayoutTest, StatusPanelFollowsTheWindowAndAddressStartsEmpty) {
    CreateWindow();
    ShowAt(700, 400);
    EXPECT_TRUE(Child<QComboBox>(*frmMain_, "cmbbxAddress")->currentText().isEmpty());
    const int narrow = Child<QLabel>(*frmMain_, "sttsbrMain")->width();
    ShowAt(1100, 400);
    EXPECT_GT(Child<QLabel>(*frmMain_, "sttsbrMain")->width(), narrow + 300);

    ASSERT_TRUE(Browser().GoToPath("HKCU\\Software"));
    EXPECT_EQ(frmMain_->StatusText().toStdString(), "[HKEY_CURRENT_USER\\Software]");
    Child<QAction>(*frmMain_, "mnitmRefreshAll")->trigger();
    EXPECT_TRUE(frmMain_->StatusText().isEmpty());
    EXPECT_TRUE(Child<QComboBox>(*frmMain_, "cmbbxAddress")->currentText().isEmpty());
}

TEST_F(LayoutTest, DefaultWidthHoldsTheMenuBarAndTitlesInEveryShippedLanguageAndTheMenuMarksTheLanguage) {
    const char* binaryDir = std::getenv("HIVEWRIGHT_TEST_BINARY_DIR");
    if (!binaryDir) GTEST_SKIP() << "run through ctest";
    i18n::SetLanguageFilePath(std::string(binaryDir) + "/LANGUAGE.INI");
    CreateWindow();
    frmMain_->show();
    QApplication::processEvents();
    QAction* german = nullptr;
    for (QAction* item : Child<QMenu>(*frmMain_, "mnitmLanguage")->actions())
        if (item->text() == "Deutsch") german = item;
    ASSERT_NE(german, nullptr);
    EXPECT_FALSE(german->isChecked());
    german->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(german->isChecked());
    for (int column = 0; column < window::ValueListModel::kColumnCount; ++column)
        EXPECT_GE(Header()->sectionSize(column), Header()->sectionSizeHint(column))
            << "title cut: " << column;
    // The program's own additions are translated as well.
    EXPECT_EQ(Child<QAction>(*frmMain_, "acOpenWinePrefix")->text().toStdString(), "&Wine-Präfix öffnen...");
    EXPECT_LE(frmMain_->menuBar()->sizeHint().width(), frmMain_->menuBar()->width());
}

} // namespace
} // namespace hw::test
