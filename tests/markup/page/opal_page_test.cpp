#include "markup/page/opal_page.h"

#include "core/value_text.h"
#include "support/qt/window_fixture.h"
#include "util/file_io.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

namespace hw::markup {
namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\Page";

std::vector<BYTE> Dword(DWORD value) {
    return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
            static_cast<BYTE>(value >> 24)};
}

std::string Page(const std::string& body, const std::string& bodyTag = "<body>") {
    return "<opal><head><title>T</title></head>" + bodyTag + body + "</body></opal>";
}

std::string Input(const std::string& attributes, const std::string& options = "") {
    return "<input keyname=\"" + std::string(kKey) + "\" " + attributes + ">" + options + "</input>";
}

class OpalPageTest : public ::testing::Test {
  protected:
    OpalPageTest() {
        test::EnsureQtApplication();
        page_ = std::make_unique<TOPALPage>();
        page_->resize(600, 400);
        page_->show();
    }

    void Render(const std::string& source) { page_->RenderDocument(source); }
    // The view's visible area is the page's width; the frame is none.
    int ViewWidth() const { return page_->viewport()->width(); }
    template <typename Control> Control* ControlAt(int input) const {
        return qobject_cast<Control*>(page_->Inputs().at(static_cast<std::size_t>(input)).control);
    }
    QWidget* Top(int index) const {
        const TOPALElement* element = page_->Document().Body.First;
        for (int i = 0; i < index; ++i)
            element = element->Next;
        return TOPALPage::ControlOf(*element);
    }
    std::string Read(const std::string& name) const { return core::ReadValueTextOfPath(kKey, name); }

    test::TempRegistry registry_;
    util::ScriptedDialogs dialogs_;
    std::unique_ptr<TOPALPage> page_;
};

TEST_F(OpalPageTest, EachControlShowsItsValueAndSaveWritesWhatTheControlHolds) {
    test::WriteRawValue(kKey, "Flag", REG_DWORD, Dword(1));
    test::WriteText(kKey, "Mode", "1");
    test::WriteText(kKey, "Odd", "2");
    test::WriteRawValue(kKey, "OddNumber", REG_DWORD, Dword(2));
    test::WriteRawValue(kKey, "Bits", REG_DWORD, Dword(5));
    const std::vector<BYTE> names = {'a', 0, 'c', 0, 0};
    test::WriteRawValue(kKey, "Names", REG_MULTI_SZ, names);
    const std::vector<BYTE> strings = {'x', 0, 'y', 'y', 0, 'z', 0, 0};
    test::WriteRawValue(kKey, "Strings", REG_MULTI_SZ, strings);
    test::WriteText(kKey, "Side", "b");
    test::WriteText(kKey, "Given", "registry");
    test::WriteText(kKey, "Lines", "one\ntwo");
    test::WriteText(kKey, "Caption", "pressed");
    const std::string flags = "<option text=true value=1><option text=false value=0>";
    const std::string offOn = "<option text=Off value=0><option text=On value=1>";
    Render(Page(Input("type=checkbox datatype=REG_DWORD valuename=Flag", flags) +    // 0
                Input("type=checkbox datatype=REG_DWORD valuename=Missing", flags) + // 1
                Input("type=select valuename=Mode", offOn) +                         // 2
                Input("type=select valuename=Odd", offOn) +                          // 3
                Input("type=select datatype=reg_dword valuename=OddNumber", offOn) + // 4
                Input("type=checklistbox datatype=REG_DWORD valuename=Bits",
                      "<option text=A value=1><option text=B value=2><option text=C value=4>") + // 5
                Input("type=checklistbox datatype=REG_MULTI_SZ valuename=Names",
                      "<option text=A value=a><option text=B value=b><option text=C value=c>") +       // 6
                Input("type=radio valuename=Side", "<option text=A value=a><option text=B value=b>") + // 7
                Input("datatype=REG_BINARY valuename=Bytes value=0a-1b-2c") +                          // 8
                Input("valuename=Given value=5") +                                                     // 9
                Input("type=textarea valuename=Lines") +                                               // 10
                Input("type=button valuename=Caption") +                                               // 11
                Input("type=textarea datatype=REG_MULTI_SZ valuename=Strings")));                      // 12

    EXPECT_TRUE(ControlAt<QCheckBox>(0)->isChecked());
    EXPECT_FALSE(ControlAt<QCheckBox>(1)->isChecked());
    EXPECT_EQ(ControlAt<QComboBox>(2)->currentText(), "On");
    EXPECT_EQ(ControlAt<QComboBox>(3)->currentIndex(), -1);
    EXPECT_EQ(ControlAt<QComboBox>(4)->currentIndex(), -1);
    auto* bits = ControlAt<QListWidget>(5);
    EXPECT_EQ(bits->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(bits->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(bits->item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(ControlAt<QListWidget>(6)->item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(page_->Inputs().at(7).radios->checkedId(), 1);
    EXPECT_EQ(ControlAt<QLineEdit>(8)->text(), "0a 1b 2c ");
    EXPECT_EQ(ControlAt<QLineEdit>(9)->text(), "5");
    EXPECT_EQ(ControlAt<QPushButton>(11)->text(), "pressed");

    ControlAt<QCheckBox>(0)->setChecked(false);
    bits->item(1)->setCheckState(Qt::Checked);
    ControlAt<QLineEdit>(9)->setText("typed");
    page_->SaveSettings();
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{"Values written: 4."});

    EXPECT_EQ(Read("Flag"), "0");
    // Controls the user left alone write nothing: an absent value stays absent, an odd one stays.
    EXPECT_FALSE(core::ReadRawValue(HKEY_CURRENT_USER, "Page", "Missing"));
    EXPECT_EQ(Read("Mode"), "1");
    EXPECT_EQ(Read("Odd"), "2");
    EXPECT_EQ(Read("OddNumber"), "2");
    EXPECT_EQ(Read("Bits"), "7");
    // Every string of a multi-string value survives, not only the first.
    const auto raw = [](const char* name) {
        return core::ReadRawValue(HKEY_CURRENT_USER, "Page", name).value_or(core::RawValue{}).data;
    };
    EXPECT_EQ(raw("Names"), names);
    EXPECT_EQ(raw("Strings"), strings);
    EXPECT_EQ(ControlAt<QPlainTextEdit>(12)->toPlainText(), "x\nyy\nz");
    EXPECT_EQ(Read("Side"), "b");
    EXPECT_EQ(Read("Bytes"), "0A 1B 2C");
    EXPECT_EQ(Read("Given"), "typed");
    // An unedited memo keeps the value's own line breaks.
    EXPECT_EQ(Read("Lines"), "one\ntwo");
    EXPECT_EQ(Read("Caption"), "pressed");
}

TEST_F(OpalPageTest, NumberEditsTakeDigitsOnlyAndSaveRefusesNumbersThatDoNotFit) {
    test::WriteRawValue(kKey, "Keep", REG_DWORD, Dword(42));
    test::WriteRawValue(kKey, "Big", REG_DWORD, Dword(43));
    Render(Page(Input("name=Delay datatype=REG_DWORD valuename=Keep") +
                Input("datatype=REG_DWORD valuename=Big") + Input("datatype=REG_DWORD valuename=Fine") +
                "<input keyname=\"HKEY_NOWHERE\\x\" valuename=Lost></input>"));
    auto* keep = ControlAt<QLineEdit>(0);
    ASSERT_TRUE(keep->validator());
    int cursor = 0;
    QString typed = "-1";
    EXPECT_EQ(keep->validator()->validate(typed, cursor), QValidator::Invalid);
    // A paste can still bring such texts in.
    keep->setText("-1");
    ControlAt<QLineEdit>(1)->setText("4294967296");
    ControlAt<QLineEdit>(2)->setText("4294967295");
    ControlAt<QLineEdit>(3)->setText("somewhere");
    page_->SaveSettings();

    EXPECT_EQ(Read("Keep"), "42");
    EXPECT_EQ(Read("Big"), "43");
    EXPECT_EQ(Read("Fine"), "4294967295");
    ASSERT_EQ(dialogs_.shown().size(), 1u);
    const std::string notice = dialogs_.shown()[0].text;
    EXPECT_TRUE(notice.starts_with("Values written: 1.\n\n")) << notice;
    EXPECT_NE(notice.find("Delay"), std::string::npos);
    EXPECT_NE(notice.find("HKEY_CURRENT_USER\\Page\\Big"), std::string::npos);
    EXPECT_NE(notice.find("HKEY_NOWHERE\\x\\Lost"), std::string::npos);
    EXPECT_EQ(notice.find("Fine"), std::string::npos);
}

TEST_F(OpalPageTest, PlacementFullWidthsLabelRuleAndSubmitWidth) {
    const int width = ViewWidth();
    Render(Page("<panel left=20 top=0 width=full height=50></panel>"
                "<label value=Short left=0 top=60>"
                "<label value=Short left=" +
                std::to_string(width - 20) +
                " top=80>"
                "<label value=\"A label whose text is wider than half of a narrow panel\" left=0 top=100>"
                "<panel left=" +
                std::to_string(width - 8) +
                " top=120 width=full height=full></panel>"
                "<submit value=Apply top=200>"
                "<img src=missing.png left=30 top=240>"));
    EXPECT_EQ(Top(0)->width(), width - 20 - 10);
    const int textWidth = Top(1)->sizeHint().width();
    EXPECT_EQ(Top(1)->width(), width - textWidth);
    EXPECT_EQ(Top(2)->width(), Top(2)->sizeHint().width());
    // Never narrower than its text.
    EXPECT_GE(Top(3)->width(), Top(3)->sizeHint().width());
    // Ten or less is not reduced.
    EXPECT_EQ(Top(4)->width(), 8);
    const int points = Top(5)->font().pointSize();
    EXPECT_EQ(Top(5)->width(), 5 * points + 20);
    auto* picture = qobject_cast<QLabel*>(Top(6));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pos(), QPoint(30, 240));
    EXPECT_TRUE(picture->pixmap().isNull());

    page_->resize(page_->width() + 200, page_->height());
    EXPECT_EQ(Top(0)->width(), ViewWidth() - 30);
    EXPECT_EQ(ViewWidth(), width + 200);
    // Only "full" sizes follow the view.
    EXPECT_EQ(Top(1)->width(), width - textWidth);
}

TEST_F(OpalPageTest, AlignedControlsDockTopBottomLeftRightThenClient) {
    Render(Page("<panel align=client></panel><panel align=left width=40></panel>"
                "<panel align=bottom height=30></panel><panel align=top height=20></panel>"
                "<panel align=right width=50></panel><panel align=top height=25></panel>"));
    const QSize view = page_->viewport()->size();
    EXPECT_EQ(Top(3)->geometry(), QRect(0, 0, view.width(), 20));
    EXPECT_EQ(Top(5)->geometry(), QRect(0, 20, view.width(), 25));
    EXPECT_EQ(Top(2)->geometry(), QRect(0, view.height() - 30, view.width(), 30));
    EXPECT_EQ(Top(1)->geometry(), QRect(0, 45, 40, view.height() - 75));
    EXPECT_EQ(Top(4)->geometry(), QRect(view.width() - 50, 45, 50, view.height() - 75));
    EXPECT_EQ(Top(0)->geometry(), QRect(40, 45, view.width() - 90, view.height() - 75));
    page_->resize(page_->width() + 100, page_->height());
    EXPECT_EQ(Top(0)->width(), view.width() + 10);
}

TEST_F(OpalPageTest, EmptySourceAndBackgroundsKeepThePreviousColourAndControlsAreReplaced) {
    Render(Page("<label value=x>", "<body bgcolor=navy background=missing.bmp>"));
    EXPECT_EQ(page_->Canvas()->palette().color(QPalette::Window), QColor(0, 0, 0x80));
    EXPECT_EQ(page_->Canvas()->findChildren<QLabel*>().size(), 1);
    Render("");
    EXPECT_EQ(page_->Document().Body.Count, 0);
    EXPECT_TRUE(page_->Canvas()->findChildren<QWidget*>().isEmpty());
    EXPECT_EQ(page_->Canvas()->palette().color(QPalette::Window), QColor(0, 0, 0x80));
    // A background that loads lies beneath the page's controls and covers the view.
    test::TempDir pictures;
    const std::string backdrop = pictures.file("backdrop.svg");
    util::WriteFileBytes(backdrop, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"8\" height=\"8\">"
                                   "<rect width=\"8\" height=\"8\" fill=\"#0f0\"/></svg>");
    Render(Page("<label value=x>", "<body background=\"" + backdrop + "\">"));
    const auto labels = page_->Canvas()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(labels.size(), 2);
    EXPECT_FALSE(labels.first()->pixmap().isNull());
    EXPECT_EQ(labels.first()->geometry(), page_->Canvas()->rect());
    // A new page starts white, so a page without a body shows white rather than black.
    TOPALPage fresh;
    fresh.RenderDocument("<opal></opal>");
    EXPECT_EQ(fresh.Canvas()->palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(OpalPageTest, ColoursFontsAndNestedPanels) {
    Render(Page("<panel color=red font=Serif fontsize=14 fontcolor=blue left=0 top=0 width=300 height=200>"
                "<label value=inner transparent=yes left=5 top=5>"
                "<input type=checkbox caption=c color=\"rgb(0,128,0)\" top=40></input></panel>"));
    QWidget* panel = Top(0);
    EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(255, 0, 0));
    const TOPALElement* label = page_->Document().Body.First->FirstChild;
    QWidget* labelControl = TOPALPage::ControlOf(*label);
    EXPECT_EQ(labelControl->parentWidget(), panel);
    EXPECT_FALSE(labelControl->autoFillBackground());
    EXPECT_EQ(labelControl->font().pointSize(), 14);
    EXPECT_EQ(labelControl->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    auto* box = ControlAt<QCheckBox>(0);
    EXPECT_EQ(box->palette().color(box->backgroundRole()), QColor(0, 128, 0));
}

} // namespace
} // namespace hw::markup
