// Names and data that are not UTF-8 show their odd bytes escaped, and a rename keeps every byte the user
// did not edit.
#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "core/key_ops.h"
#include "core/value_text.h"
#include "platform/qt/byte_text.h"
#include "support/qt/window_fixture.h"

#include <QApplication>

namespace hw::test {
namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\Odd";

TEST(ShownText, EscapesOnlyBytesOutsideValidSequencesAndEditsGetThemBack) {
    const std::pair<std::string, QString> cases[] = {
        {"plain \\x41", "plain \\x41"},
        {"caf\xC3\xA9", QString::fromUtf8("caf\xC3\xA9")},
        {"caf\xE9", "caf\\xE9"},
        {"\xC3", "\\xC3"},                   // a sequence cut short
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"}, // an encoded surrogate
        {"\xC0\xAF", "\\xC0\\xAF"},          // an overlong form
    };
    for (const auto& [bytes, shown] : cases) {
        EXPECT_EQ(platform::ShownText(bytes), shown) << bytes;
        EXPECT_EQ(platform::EditedBytes(shown, bytes), bytes) << bytes;
    }
    EXPECT_EQ(platform::EditedBytes("caf\\xE9 new", "caf\xE9"), "caf\xE9 new");
    // In a name that was valid, a typed escape is only text.
    EXPECT_EQ(platform::EditedBytes("a\\xE9", "a"), "a\\xE9");
}

class OddBytesTest : public MainWindowTest {
  protected:
    void SetUp() override {
        WriteRawValue(kKey, "caf\xE9", REG_SZ, {'d', 0xE9, 'j', 0xE0, 0});
        CreateKeyPath(std::string(kKey) + "\\K\xFF");
        CreateWindow();
        ASSERT_TRUE(Browser().GoToPath(kKey));
    }
    QString Shown(int row, int column) const {
        return Browser().ValueModel()->index(row, column).data().toString();
    }
};

TEST_F(OddBytesTest, ListAndTreeShowEscapesAndRenamesKeepTheOtherBytes) {
    int row = 0;
    while (row < Browser().ValueRowCount() && Browser().ValueRecord(row).valueName != "caf\xE9")
        ++row;
    ASSERT_LT(row, Browser().ValueRowCount());
    EXPECT_EQ(Shown(row, window::ValueListModel::kNameColumn), "caf\\xE9");
    EXPECT_TRUE(Shown(row, window::ValueListModel::kDataColumn).contains("d\\xE9j\\xE0"));
    const QModelIndex node = Browser().SelectedNode();
    Browser().LoadSubKeys(node);
    const window::KeyTreeModel& tree = *Browser().KeyModel();
    ASSERT_EQ(tree.rowCount(node), 1);
    EXPECT_EQ(tree.index(0, 0, node).data().toString(), "K\\xFF");
    ASSERT_TRUE(Browser().GoToPath(std::string(kKey) + "\\K\xFF"));
    EXPECT_EQ(frmMain_->StatusText(), "[HKEY_CURRENT_USER\\Odd\\K\\xFF]");
    ASSERT_TRUE(Browser().GoToPath(kKey));

    // The in-place editors start from the shown text; the user appends to it.
    Browser().ValueModel()->setData(Browser().ValueModel()->index(row, window::ValueListModel::kNameColumn),
                                    Shown(row, window::ValueListModel::kNameColumn) + "2", Qt::EditRole);
    Browser().KeyModel()->setData(tree.index(0, 0, node), "L\\xFF", Qt::EditRole);
    QApplication::processEvents();

    const auto renamed = core::ReadRawValue(HKEY_CURRENT_USER, "Odd",
                                            "caf\xE9"
                                            "2");
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->data, (std::vector<BYTE>{'d', 0xE9, 'j', 0xE0, 0}));
    EXPECT_TRUE(core::KeyPathExists(std::string(kKey) + "\\L\xFF"));
    EXPECT_EQ(dialogs_.texts(), std::vector<std::string>{});
}

} // namespace
} // namespace hw::test
