#include "markup/window/opal_explorer.h"

#include "core/value_text.h"
#include "markup/page/opal_page.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"
#include "util/file_io.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <deque>
#include <memory>

namespace hw::markup {
namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\Explorer";

// The explorer's parts, by their object names.
TOPALPage& Page(const TOPALExplorer& explorer) {
    return *test::Child<TOPALPage>(explorer, "scrllbxView");
}
QPlainTextEdit& Source(const TOPALExplorer& explorer) {
    return *test::Child<QPlainTextEdit>(explorer, "rchedtOPALSource");
}
QTabWidget& Tabs(const TOPALExplorer& explorer) {
    return *test::Child<QTabWidget>(explorer, "pcMain");
}
QLabel& Panel(const TOPALExplorer& explorer, int number) {
    return *test::Child<QLabel>(explorer, ("sbExplorerPanel" + std::to_string(number)).c_str());
}

std::string PageWith(const std::string& label, const std::string& bodyTag = "<body>") {
    return "<opal><head><title>Page " + label +
           "</title><author>Ann</author><copyright>C</copyright></head>" + bodyTag + "<label value=\"" +
           label + "\"><input keyname=\"" + kKey + "\" valuename=V></input></body></opal>";
}

class OpalExplorerTest : public ::testing::Test {
  protected:
    OpalExplorerTest() {
        test::EnsureQtApplication();
        explorer_ = std::make_unique<TOPALExplorer>();
        explorer_->SetFileChooser([this](bool save) {
            chooserCalls_.push_back(save);
            if (choices_.empty()) return std::string();
            std::string choice = choices_.front();
            choices_.pop_front();
            return choice;
        });
    }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string file = dir_.file(name);
        util::WriteFileBytes(file, text);
        return file;
    }
    std::string PageLabel() const {
        const TOPALElement* first = Page(*explorer_).Document().Body.First;
        return first ? first->Value : std::string();
    }
    void TypeInSource(const QString& text) { Source(*explorer_).insertPlainText(text); }

    test::TempRegistry registry_;
    test::TempDir dir_;
    util::ScriptedDialogs dialogs_;
    std::deque<std::string> choices_;
    std::vector<bool> chooserCalls_;
    std::unique_ptr<TOPALExplorer> explorer_;
};

TEST_F(OpalExplorerTest, LoadingRendersAndSetsCaptionStatusAndSource) {
    explorer_->LoadFile(Write("a.opal", PageWith("first")));
    EXPECT_EQ(PageLabel(), "first");
    EXPECT_EQ(explorer_->windowTitle(), "Page first- TorvaSoft OPAL Explorer");
    EXPECT_EQ(Panel(*explorer_, 1).text(), "Author:[Ann]");
    EXPECT_EQ(Panel(*explorer_, 2).text(), "C");
    EXPECT_EQ(Source(*explorer_).toPlainText().toStdString(), PageWith("first"));
    EXPECT_FALSE(explorer_->Modified());
    EXPECT_FALSE(explorer_->SourceChanged());

    // A missing file changes nothing; an empty one only the file name.
    explorer_->LoadFile(dir_.file("missing.opal"));
    EXPECT_EQ(explorer_->FileName(), dir_.file("a.opal"));
    const std::string empty = Write("empty.opal", "");
    explorer_->LoadFile(empty);
    EXPECT_EQ(explorer_->FileName(), empty);
    EXPECT_EQ(PageLabel(), "first");
    explorer_->SaveCommand();
    EXPECT_EQ(util::ReadFileBytes(empty), PageWith("first"));
    EXPECT_TRUE(chooserCalls_.empty());
}

TEST_F(OpalExplorerTest, SavingANewWindowAsksForANameAndBeforeReplacing) {
    choices_ = {dir_.file("new.opal")};
    explorer_->SaveCommand();
    EXPECT_EQ(util::ReadFileBytes(dir_.file("new.opal")), "<opal></opal>");
    EXPECT_EQ(explorer_->FileName(), dir_.file("new.opal"));

    TOPALExplorer other;
    std::deque<std::string> names = {dir_.file("new.opal"), dir_.file("new.opal")};
    other.SetFileChooser([&names](bool) {
        std::string name = names.front();
        names.pop_front();
        return name;
    });
    Source(other).setPlainText("<opal>x</opal>");
    other.SaveCommand(); // declined
    EXPECT_EQ(util::ReadFileBytes(dir_.file("new.opal")), "<opal></opal>");
    EXPECT_TRUE(other.Modified());
    dialogs_.QueueAnswer(true);
    other.SaveCommand();
    EXPECT_EQ(util::ReadFileBytes(dir_.file("new.opal")), "<opal>x</opal>");
    EXPECT_FALSE(other.Modified());
    ASSERT_EQ(dialogs_.shown().size(), 2u);
    EXPECT_EQ(dialogs_.shown()[0].text, "File:[" + dir_.file("new.opal") + "] exists,will you replace it?");

    // A file that cannot be created keeps the window modified.
    TOPALExplorer failing;
    failing.SetFileChooser([this](bool) { return dir_.file("no/such/folder/x.opal"); });
    Source(failing).setPlainText("<opal></opal>");
    failing.SaveCommand();
    EXPECT_TRUE(failing.Modified());
    EXPECT_EQ(dialogs_.shown().back().kind, util::MessageKind::Error);
}

TEST_F(OpalExplorerTest, ThePageIsRebuiltFromTheSourceOnlyAfterAnEdit) {
    test::WriteText(kKey, "V", "one");
    explorer_->LoadFile(Write("a.opal", PageWith("first")));
    auto* edit = qobject_cast<QLineEdit*>(Page(*explorer_).Inputs().at(0).control);
    edit->setText("unsaved");
    explorer_->ShowTab(1);
    explorer_->ShowTab(0);
    EXPECT_EQ(Page(*explorer_).Inputs().at(0).control, edit);
    EXPECT_EQ(edit->text(), "unsaved");

    test::WriteText(kKey, "V", "two");
    explorer_->ShowTab(1);
    TypeInSource(" ");
    EXPECT_TRUE(explorer_->SourceChanged());
    EXPECT_TRUE(explorer_->Modified());
    explorer_->ShowTab(0);
    EXPECT_FALSE(explorer_->SourceChanged());
    EXPECT_EQ(qobject_cast<QLineEdit*>(Page(*explorer_).Inputs().at(0).control)->text(), "two");
    EXPECT_EQ(core::ReadValueTextOfPath(kKey, "V"), "two");
}

TEST_F(OpalExplorerTest, ClosingAsksAboutUnsavedSourceAndClosesWhateverTheAnswer) {
    const std::string file = Write("a.opal", PageWith("first"));
    explorer_->LoadFile(file);
    explorer_->show();
    TypeInSource("x");
    explorer_->close(); // answered No
    EXPECT_FALSE(explorer_->isVisible());
    EXPECT_EQ(util::ReadFileBytes(file), PageWith("first"));
    ASSERT_EQ(dialogs_.shown().size(), 1u);
    EXPECT_EQ(dialogs_.shown()[0].text, "OPAL Content changed will you save it?");

    TOPALExplorer untitled;
    untitled.SetFileChooser([](bool) { return std::string(); });
    untitled.show();
    Source(untitled).setPlainText("<opal></opal>");
    dialogs_.QueueAnswer(true);
    untitled.close();
    EXPECT_FALSE(untitled.isVisible());
}

TEST_F(OpalExplorerTest, OpenAsksAboutUnsavedSourceAndDropsReplaceThePageWithoutAsking) {
    explorer_->LoadFile(Write("a.opal", PageWith("first")));
    TypeInSource("x");
    choices_ = {Write("b.opal", PageWith("second"))};
    explorer_->ShowTab(1);
    explorer_->OpenCommand(); // No to saving
    EXPECT_EQ(PageLabel(), "second");
    EXPECT_EQ(Tabs(*explorer_).currentIndex(), 0);
    EXPECT_EQ(dialogs_.shown().size(), 1u);
    EXPECT_EQ(chooserCalls_, std::vector<bool>{false});

    TypeInSource("y");
    const std::string dropped = Write("c.OPAL", PageWith("third"));
    explorer_->DropFiles(
        {QString::fromStdString(Write("d.txt", PageWith("ignored"))), QString::fromStdString(dropped)});
    explorer_->DropFiles({QString::fromStdString(dropped), QString::fromStdString(Write("e.opal", ""))});
    EXPECT_EQ(PageLabel(), "third");
    EXPECT_EQ(explorer_->FileName(), dropped);
    EXPECT_EQ(dialogs_.shown().size(), 1u);
}

TEST_F(OpalExplorerTest, AReadOnlyPageLocksTheSourceUntilAnotherPageIsRendered) {
    explorer_->LoadFile(Write("a.opal", PageWith("locked", "<body readonly=yes>")));
    EXPECT_TRUE(Source(*explorer_).isReadOnly());
    explorer_->LoadFile(Write("b.opal", PageWith("open")));
    EXPECT_FALSE(Source(*explorer_).isReadOnly());
}

TEST_F(OpalExplorerTest, SourceThatIsNotUtf8IsWrittenBackByteForByte) {
    const std::string latin = "<opal><head><title>Caf\xe9</title></head></opal>";
    const std::string file = Write("latin.opal", latin);
    explorer_->LoadFile(file);
    explorer_->SaveCommand();
    EXPECT_EQ(util::ReadFileBytes(file), latin);
}

} // namespace
} // namespace hw::markup
