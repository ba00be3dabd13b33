// How the value list shows what a narrow cell cuts off, and which pane's selection looks active.
#include "app/window/value_list_model.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QToolTip>
#include <QTreeView>

#include <cstdlib>

namespace hw::test {
namespace {

class ItemViewDelegateTest : public MainWindowTest {
  protected:
    void SetUp() override {
        WriteText(kKey, "A value name long enough to be cut in a narrow column", "short");
        CreateWindow();
        frmMain_->show();
        QApplication::processEvents();
        ASSERT_TRUE(Browser().GoToPath(kKey));
    }
    // Asks the list for the tip of the value's cell in column (row 0 is the "(Default)" row); the tip's text,
    // or empty when none shows.
    QString TipOf(int column) {
        QTreeView* list = Child<QTreeView>(*frmMain_, "lstvwValues");
        const QRect cell = list->visualRect(Browser().ValueModel()->index(1, column));
        QHelpEvent event(QEvent::ToolTip, cell.center(), list->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(list->viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }
    // The colour drawn a few pixels into the selected row 0 of the view, past its picture.
    static QColor SelectionColour(QTreeView* view, const QModelIndex& index) {
        const QRect cell = view->visualRect(index);
        const QImage image = view->viewport()->grab().toImage();
        return image.pixelColor(cell.right() - 3, cell.top() + 2);
    }
    // Styles shade the selection a little; the colours differ plainly between active blue and inactive grey.
    static void ExpectNear(const QColor& drawn, const QColor& expected) {
        const int distance = std::abs(drawn.red() - expected.red()) +
                             std::abs(drawn.green() - expected.green()) +
                             std::abs(drawn.blue() - expected.blue());
        EXPECT_LT(distance, 30) << drawn.name().toStdString() << " vs " << expected.name().toStdString();
    }
    static constexpr const char* kKey = "HKEY_CURRENT_USER\\Cells";
};

TEST_F(ItemViewDelegateTest, OnlyACutCellShowsItsWholeTextAsATip) {
    // Wide first: a tip once shown fades out only after a while.
    const int name = window::ValueListModel::kNameColumn;
    Child<QTreeView>(*frmMain_, "lstvwValues")->header()->resizeSection(name, 1000);
    EXPECT_TRUE(TipOf(name).isEmpty());
    Child<QTreeView>(*frmMain_, "lstvwValues")->header()->resizeSection(name, 60);
    EXPECT_EQ(TipOf(name).toStdString(), "A value name long enough to be cut in a narrow column");
}

TEST_F(ItemViewDelegateTest, TheUnfocusedPaneShowsItsSelectionInTheInactiveColour) {
    QTreeView* list = Child<QTreeView>(*frmMain_, "lstvwValues");
    QTreeView* tree = Child<QTreeView>(*frmMain_, "trvwKeys");
    const QModelIndex row = Browser().ValueModel()->index(0, window::ValueListModel::kDataColumn);
    list->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    frmMain_->activateWindow();
    tree->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(tree->hasFocus());
    const QPalette palette = list->palette();
    ExpectNear(SelectionColour(list, row), palette.color(QPalette::Inactive, QPalette::Highlight));
    ExpectNear(SelectionColour(tree, tree->currentIndex()),
               palette.color(QPalette::Active, QPalette::Highlight));

    list->setFocus();
    QApplication::processEvents();
    ExpectNear(SelectionColour(list, row), palette.color(QPalette::Active, QPalette::Highlight));
    ExpectNear(SelectionColour(tree, tree->currentIndex()),
               palette.color(QPalette::Inactive, QPalette::Highlight));
}

} // namespace
} // namespace hw::test
