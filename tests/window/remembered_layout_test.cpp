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
#include <optional>

namespace hw::test {
namespace {

// What the places keep of the two windows.
struct Layout {
    QRect main;
    QList<int> splitter;
    QList<int> valueColumns;
    QRect find;
    QList<int> foundColumns;
    bool operator==(const Layout&) const = default;
};

void PrintTo(const Layout& layout, std::ostream* out) {
    auto rect = [](const QRect& r) {
        return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
               std::to_string(r.height());
    };
    auto list = [](const QList<int>& sizes) {
        std::string text;
        for (int size : sizes)
            text += std::to_string(size) + " ";
        return text;
    };
    *out << rect(layout.main) << " | " << list(layout.splitter) << "| " << list(layout.valueColumns) << "| "
         << rect(layout.find) << " | " << list(layout.foundColumns);
}

QList<int> SectionSizes(const QHeaderView& header) {
    QList<int> sizes;
    for (int section = 0; section < header.count(); ++section)
        sizes.append(header.sectionSize(section));
    return sizes;
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
    Layout Current() const {
        return {frmMain_->frameGeometry(), Splitter().sizes(), SectionSizes(ValueHeader()),
                frmFind_->frameGeometry(), SectionSizes(FoundHeader())};
    }
    // The layout a run without any saved places starts with.
    Layout Defaults() {
        StartRun(false);
        const Layout layout = Current();
        EndRun();
        return layout;
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
    const Layout left = Current();
    EndRun();

    StartRun();
    const Layout restored = Current();
    EndRun();
    EXPECT_EQ(restored, left);
    EXPECT_EQ(restored.main.topLeft(), QPoint(25, 35));
    EXPECT_EQ(restored.find.topLeft(), QPoint(0, 0));
    EXPECT_EQ(restored.splitter.front(), 150);
    EXPECT_EQ(restored.valueColumns.mid(0, 2), (QList<int>{90, 130}));
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
    for (const QWidget* window :
         {static_cast<QWidget*>(frmMain_.get()), static_cast<QWidget*>(frmFind_.get())}) {
        EXPECT_TRUE(screen.contains(window->frameGeometry())) << window->objectName().toStdString();
    }
    EndRun();
}

TEST_F(RememberedLayoutTest, AMissingOrDamagedFileStartsWithTheDefaults) {
    const Layout defaults = Defaults();
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
        EXPECT_EQ(Current(), defaults) << what;
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
    EXPECT_TRUE(ui::AvailableScreenAreas().front().contains(frmFind_->frameGeometry()));
    EndRun();
}

} // namespace
} // namespace hw::test
