// The main window's and the Find window's layout, kept in the user's configuration folder between runs.
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"
#include "ui/screen_place.h"
#include "ui/window_places.h"
#include "util/file_io.h"

#include <QApplication>
#include <QHeaderView>
#include <QSettings>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace hw::test {
namespace {

// "x,y wxh" of a frame, or the sizes of a splitter's panes or a header's sections.
std::string Text(const QRect& frame) {
    return QStringLiteral("%1,%2 %3x%4 ")
        .arg(frame.x())
        .arg(frame.y())
        .arg(frame.width())
        .arg(frame.height())
        .toStdString();
}
std::string Text(const QList<int>& sizes) {
    std::string text;
    for (int size : sizes)
        text += std::to_string(size) + " ";
    return text + "| ";
}
std::string Text(const QHeaderView& header) {
    QList<int> sizes;
    for (int section = 0; section < header.count(); ++section)
        sizes.append(header.sectionSize(section));
    return Text(sizes);
}

class RememberedLayoutTest : public MainWindowTest {
  protected:
    RememberedLayoutTest() {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldConfigHome_ = old;
        setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
    }
    ~RememberedLayoutTest() override {
        places_.reset();
        if (oldConfigHome_)
            setenv("XDG_CONFIG_HOME", oldConfigHome_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    // A new start of the program: fresh windows, the places read again (unless not wanted); both windows
    // shown.
    void StartRun(bool remember = true) {
        places_.reset();
        frmFind_.reset();
        frmReplace_.reset();
        frmMain_.reset();
        CreateWindow();
        if (remember) places_ = std::make_unique<ui::WindowPlaces>(ui::WindowPlaces::UserSettingsFile());
        frmMain_->show();
        frmFind_->show();
        QApplication::processEvents();
    }
    void EndRun() {
        frmFind_->hide();
        frmMain_->hide();
    }
    QSplitter& Splitter() const { return *Child<QSplitter>(*frmMain_, "splttrMain"); }
    QHeaderView& ValueHeader() const { return *Child<QTreeView>(*frmMain_, "lstvwValues")->header(); }
    QHeaderView& FoundHeader() const {
        return *Child<QTableView>(*frmFind_, "lstvwFound")->horizontalHeader();
    }
    // What the places keep of the two windows.
    std::string Layout() const {
        return Text(frmMain_->frameGeometry()) + Text(Splitter().sizes()) + Text(ValueHeader()) +
               Text(frmFind_->frameGeometry()) + Text(FoundHeader());
    }
    std::string SettingsFile() const { return ui::WindowPlaces::UserSettingsFile().toStdString(); }

    TempDir config_;
    std::optional<std::string> oldConfigHome_;
    std::unique_ptr<ui::WindowPlaces> places_;
};

TEST_F(RememberedLayoutTest, SizePlaceSplitterAndColumnsComeBackInTheNextRun) {
    EXPECT_EQ(ui::WindowPlaces::UserSettingsFile().toStdString(), config_.file("hivewright/layout.ini"));
    StartRun();
    frmMain_->move(25, 35);
    frmMain_->resize(600, 400);
    Splitter().setSizes({150, 447});
    ValueHeader().resizeSection(0, 90);
    ValueHeader().resizeSection(1, 130);
    frmFind_->move(0, 0);
    FoundHeader().resizeSection(0, 111);
    FoundHeader().resizeSection(1, 222);
    QApplication::processEvents();
    const std::string left = Layout();
    EndRun();
    EXPECT_EQ(left.substr(0, 6), "25,35 ");
    EXPECT_NE(left.find("| 90 130 "), std::string::npos) << left;
    EXPECT_NE(left.find("| 0,0 "), std::string::npos) << left;

    StartRun();
    EXPECT_EQ(Layout(), left);
    EndRun();
}

TEST_F(RememberedLayoutTest, TheFirstValuesWidenNameAndTypeOnlyWhenNoWidthsWereKept) {
    const std::string key = "HKEY_CURRENT_USER\\Layout";
    WriteText(key, std::string(60, 'n'), "data");
    // Kept widths of Name, Type, Size and Data; none kept when empty.
    for (const QStringList& kept : {QStringList{"30", "40", "50", "200"}, QStringList{}}) {
        std::filesystem::remove(SettingsFile());
        if (!kept.isEmpty())
            QSettings(ui::WindowPlaces::UserSettingsFile(), QSettings::IniFormat)
                .setValue("TfrmMain/lstvwValues", kept);
        StartRun();
        // Room for the columns to grow into.
        frmMain_->resize(1000, 500);
        QApplication::processEvents();
        const int name = ValueHeader().sectionSize(0);
        const int type = ValueHeader().sectionSize(1);
        ASSERT_TRUE(Browser().GoToPath(key));
        QApplication::processEvents();
        if (!kept.isEmpty()) {
            EXPECT_EQ(ValueHeader().sectionSize(0), 30);
            EXPECT_EQ(ValueHeader().sectionSize(1), 40);
        } else {
            EXPECT_GT(ValueHeader().sectionSize(0), name) << "fitted to the long name";
            EXPECT_GE(ValueHeader().sectionSize(1), type);
        }
        EndRun();
    }
}

TEST_F(RememberedLayoutTest, APlaceOffScreenComesBackOnScreen) {
    QSettings saved(ui::WindowPlaces::UserSettingsFile(), QSettings::IniFormat);
    for (const char* window : {"TfrmMain", "frmFind"}) {
        saved.beginGroup(window);
        saved.setValue("left", 5000);
        saved.setValue("top", -3000);
        saved.setValue("width", 300);
        saved.setValue("height", 200);
        saved.endGroup();
    }
    saved.sync();
    StartRun();
    const QRect screen = ui::AvailableScreenAreas().front();
    EXPECT_TRUE(screen.contains(frmMain_->frameGeometry())) << Layout();
    EXPECT_TRUE(screen.contains(frmFind_->frameGeometry())) << Layout();
    EndRun();
}

TEST_F(RememberedLayoutTest, AMissingOrDamagedFileStartsWithTheDefaults) {
    StartRun(false);
    const std::string defaults = Layout();
    EndRun();
    ASSERT_FALSE(std::filesystem::exists(SettingsFile())) << "a run without places wrote nothing";
    const std::pair<const char*, std::string> files[] = {
        {"binary", std::string("\x00\xFF\xFE[[=\n\x01\x02", 9)},
        {"unreadable numbers",
         "[TfrmMain]\nleft=a\ntop=1\nwidth=-5\nheight=x\nsplttrMain=1\nlstvwValues=a, b, c, d\n"
         "[frmFind]\nleft=\nlstvwFound=-1, -2, -3, -4\n"},
        {"cut short", "[TfrmMain"},
    };
    for (const auto& [what, bytes] : files) {
        std::filesystem::create_directories(std::filesystem::path(SettingsFile()).parent_path());
        util::WriteFileBytes(SettingsFile(), bytes);
        StartRun();
        EXPECT_EQ(Layout(), defaults) << what;
        EndRun();
        // Written afresh on the way out, so the next run finds the layout again.
        EXPECT_EQ(QSettings(ui::WindowPlaces::UserSettingsFile(), QSettings::IniFormat).status(),
                  QSettings::NoError)
            << what;
        std::filesystem::remove(SettingsFile());
    }
}

TEST_F(RememberedLayoutTest, TheFirstFindWindowOpensOverTheWindowItWasOpenedFrom) {
    CreateWindow();
    frmMain_->show();
    frmMain_->move(0, 0);
    frmMain_->resize(500, 300);
    frmMain_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frmMain_.get()));
    frmFind_->show();
    QRect centred(QPoint(), frmFind_->frameGeometry().size());
    centred.moveCenter(frmMain_->frameGeometry().center());
    EXPECT_EQ(frmFind_->frameGeometry(), ui::OnScreen(centred, ui::AvailableScreenAreas()));
    EndRun();
}

} // namespace
} // namespace hw::test
