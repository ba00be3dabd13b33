// A Wine prefix is read by Windows programs: opening it in the window leaves its files as they were, and a
// page's Apply changes exactly the values the user changed.
#include "markup/associations.h"
#include "markup/opal_attributes.h"
#include "markup/page/opal_page.h"
#include "markup/window/opal_explorer.h"
#include "platform/registry_store.h"
#include "platform/wine/real_prefix.h"
#include "support/qt/window_fixture.h"
#include "util/program_dir.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace hw::window {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRegistryFiles[] = {"system.reg", "user.reg", "userdef.reg"};

std::string BinaryDir() {
    const char* dir = std::getenv("HIVEWRIGHT_TEST_BINARY_DIR");
    return dir && *dir ? std::string(dir) : util::ProgramDir() + "/../..";
}

// The lines of text that are not in base, each as often as it is missing there; key headers, their times
// and the blank lines between keys say nothing of the values.
std::vector<std::string> LinesNotIn(const std::string& text, const std::string& base) {
    std::multiset<std::string> available;
    std::istringstream baseLines(base);
    for (std::string line; std::getline(baseLines, line);)
        available.insert(line);
    std::vector<std::string> extra;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line.starts_with('[') || line.starts_with("#time=")) continue;
        if (auto found = available.find(line); found != available.end())
            available.erase(found);
        else
            extra.push_back(line);
    }
    return extra;
}

class WinePrefixWindowTest : public test::MainWindowTest {
  protected:
    void SetUp() override {
        if (test::TemplatePrefix().empty()) GTEST_SKIP() << "Wine is not installed";
        prefix_ = test::CopyOfTemplate(dir_);
        for (const char* name : kRegistryFiles)
            before_[name] = test::ReadFile(prefix_ / name);
        std::string error;
        auto store = platform::OpenWineStore(prefix_.string(), &error);
        ASSERT_TRUE(store) << error;
        platform::UseRegistry(std::move(store));
    }

    // Closes the prefix (its store writes what it holds) and gives the lines each file gained and lost.
    std::map<std::string, std::pair<std::vector<std::string>, std::vector<std::string>>> CloseAndDiff() {
        platform::UseRegistry(nullptr);
        std::map<std::string, std::pair<std::vector<std::string>, std::vector<std::string>>> changes;
        for (const char* name : kRegistryFiles) {
            const std::string after = test::ReadFile(prefix_ / name);
            if (after != before_[name])
                changes[name] = {LinesNotIn(after, before_[name]), LinesNotIn(before_[name], after)};
        }
        return changes;
    }

    test::TempDir dir_;
    fs::path prefix_;
    std::map<std::string, std::string> before_;
};

TEST_F(WinePrefixWindowTest, OpeningThePrefixInTheWindowLeavesItsFilesByteIdentical) {
    // A normal start checks the associations, then shows the window; /reg must not reach a prefix either.
    markup::CheckAssociations("/opt/hivewright/hivewright");
    markup::RegisterOPALFiles("/opt/hivewright/hivewright");
    markup::RegisterRegFileVerb("/opt/hivewright/hivewright");
    CreateWindow();
    frmMain_->show();
    QApplication::processEvents();
    frmMain_->close();
    frmMain_.reset();
    for (const char* name : kRegistryFiles)
        EXPECT_EQ(test::ReadFile(prefix_ / name), before_[name]) << name;
    EXPECT_TRUE(CloseAndDiff().empty());
}

struct PageChange {
    const char* page;
    const char* valueName; // the one input changed; empty: Apply with nothing changed
    const char* choice;    // an item's text, or the text typed
    const char* written;   // the one line user.reg gains
};

TEST_F(WinePrefixWindowTest, ApplyWritesOnlyTheInputTheUserChanged) {
    const PageChange changes[] = {
        {"Wine audio and fonts.opal", "Tahoma", "DejaVu Sans", "\"Tahoma\"=\"DejaVu Sans\""},
        {"Wine libraries.opal", "winhttp", "Native, then builtin", "\"winhttp\"=\"native,builtin\""},
        {"Wine graphics.opal", "Version", "Windows 7", "\"Version\"=\"win7\""},
        {"Regional formats.opal", "", "", ""},
    };
    const fs::path previous = fs::current_path();
    fs::current_path(BinaryDir());
    for (const PageChange& change : changes) {
        SCOPED_TRACE(change.page);
        markup::TOPALExplorer explorer;
        explorer.LoadFile(BinaryDir() + "/" + change.page);
        bool found = !*change.valueName;
        for (const markup::OPALInput& input :
             explorer.findChild<markup::TOPALPage*>("scrllbxView")->Inputs()) {
            if (markup::GetAttribute(input.element->Attributes, "valuename") != change.valueName) continue;
            found = true;
            if (auto* edit = qobject_cast<QLineEdit*>(input.control)) edit->setText(change.choice);
            if (auto* box = qobject_cast<QComboBox*>(input.control))
                box->setCurrentIndex(box->findText(change.choice));
        }
        ASSERT_TRUE(found);
        const auto report = explorer.findChild<markup::TOPALPage*>("scrllbxView")->WriteSettings();
        EXPECT_TRUE(report.notWritten.empty() && report.notANumber.empty());
        // Each page is applied to the prefix as the previous one left it.
        platform::FlushRegistry();
        const auto diff = CloseAndDiff();
        if (*change.written) {
            ASSERT_EQ(diff.size(), 1u);
            ASSERT_TRUE(diff.contains("user.reg"));
            EXPECT_EQ(diff.at("user.reg").first, std::vector<std::string>{change.written});
            EXPECT_EQ(diff.at("user.reg").second, std::vector<std::string>{});
        } else {
            EXPECT_TRUE(diff.empty());
        }
        for (const char* name : kRegistryFiles)
            before_[name] = test::ReadFile(prefix_ / name);
        std::string error;
        platform::UseRegistry(platform::OpenWineStore(prefix_.string(), &error));
    }
    fs::current_path(previous);
}

} // namespace
} // namespace hw::window
