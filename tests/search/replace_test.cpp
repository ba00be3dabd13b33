#include "core/change_feed.h"
#include "core/key_ops.h"
#include "registry_builder.h"
#include "search/replace.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

namespace hw::search {
namespace {

using test::MakeKey;
using test::SetDword;
using test::SetString;
using test::SetValue;
using test::ValueData;

// What the results window learns, and the key renames other windows learn from the change feed.
struct RecordingView : ReplaceView {
    void ValueRenamed(const std::string& keyPath, const std::string& oldName,
                      const std::string& newName) override {
        valueRenames.push_back(keyPath + "|" + oldName + "|" + newName);
    }
    void ResultKeyPathChanged(const SearchResult& result) override { movedResults.push_back(&result); }

    std::vector<std::string> valueRenames;
    std::vector<std::string> nodeRenames;
    std::vector<const SearchResult*> movedResults;
    const core::ChangeFeed::Subscription changes =
        core::RegistryChanges().Subscribe([this](const core::RegistryChange& change) {
            if (change.kind == core::ChangeKind::KeyRenamed)
                nodeRenames.push_back(change.keyPath + "|" +
                                      change.newKeyPath.substr(change.newKeyPath.rfind('\\') + 1));
        });
};

class ReplaceTest : public ::testing::Test {
  protected:
    void FindAll(const std::string& text, const std::string& start) {
        request.startPath = start;
        request.findText = text;
        Search(request);
    }

    SearchResult& ResultAt(const std::string& keyPath, ResultKind kind, const std::string& valueName = "") {
        for (SearchResult& result : request.results())
            if (result.keyPath == keyPath && result.kind == kind && result.valueName == valueName)
                return result;
        ADD_FAILURE() << "no result at " << keyPath;
        return request.results().front();
    }

    bool Replace(SearchResult& result, ResultRowTexts& row, const std::string& from, const std::string& to,
                 bool keys = true, bool values = true, bool data = true) {
        return ReplaceInResult(request, result, row, ReplaceOptions{from, to, keys, values, data}, view);
    }

    hw::test::TempRegistry registry;
    SearchRequest request;
    RecordingView view;
};

TEST_F(ReplaceTest, KeyRenameRewritesResultsAtAndBelowItOnly) {
    SetString(HKEY_CURRENT_USER, "Rep\\Soft\\Inner", "soft value", "x");
    SetString(HKEY_CURRENT_USER, "Rep\\Software", "soft too", "x");
    FindAll("soft", "HKEY_CURRENT_USER\\Rep");
    const std::string soft = "HKEY_CURRENT_USER\\Rep\\Soft";
    SearchResult& key = ResultAt(soft, ResultKind::KeyName);
    ResultRowTexts row = ResultRowTextsOf(key);
    EXPECT_EQ(row.caption, "Soft");

    ASSERT_TRUE(Replace(key, row, "SOFT", "Hard"));
    const std::string hard = "HKEY_CURRENT_USER\\Rep\\Hard";
    EXPECT_TRUE(core::KeyPathExists(hard + "\\Inner"));
    EXPECT_FALSE(core::KeyPathExists(soft));
    EXPECT_EQ(row.caption, "Hard");
    EXPECT_EQ(row.atKey, hard);
    EXPECT_EQ(key.keyPath, hard);
    EXPECT_EQ(view.nodeRenames, (std::vector<std::string>{soft + "|Hard"}));

    SearchResult& moved = ResultAt(hard + "\\Inner", ResultKind::ValueName, "soft value");
    EXPECT_EQ(view.movedResults, (std::vector<const SearchResult*>{&moved}));
    // Software merely begins with the same letters.
    ResultAt("HKEY_CURRENT_USER\\Rep\\Software", ResultKind::KeyName);
    ResultAt("HKEY_CURRENT_USER\\Rep\\Software", ResultKind::ValueName, "soft too");
}

TEST_F(ReplaceTest, KeyRenameIsRefusedWhenItCannotNameASibling) {
    MakeKey(HKEY_CURRENT_USER, "Rep\\Soft");
    MakeKey(HKEY_CURRENT_USER, "Rep\\Hard");
    FindAll("soft", "HKEY_CURRENT_USER\\Rep");
    SearchResult& key = ResultAt("HKEY_CURRENT_USER\\Rep\\Soft", ResultKind::KeyName);
    ResultRowTexts row = ResultRowTextsOf(key);
    const ResultRowTexts before = row;

    EXPECT_FALSE(Replace(key, row, "soft", "hard"));       // the new path exists
    EXPECT_FALSE(Replace(key, row, "soft", "a\\b"));       // would move it further down
    EXPECT_FALSE(Replace(key, row, "soft", ""));           // would name the parent
    EXPECT_FALSE(Replace(key, row, "xyz", "new"));         // From is not in the name
    EXPECT_FALSE(Replace(key, row, "soft", "New", false)); // key switch off
    EXPECT_TRUE(core::KeyPathExists("HKEY_CURRENT_USER\\Rep\\Soft"));
    EXPECT_FALSE(core::KeyPathExists("HKEY_CURRENT_USER\\Rep\\a"));
    EXPECT_EQ(key.keyPath, "HKEY_CURRENT_USER\\Rep\\Soft");
    EXPECT_EQ(row.caption, before.caption);
    EXPECT_TRUE(view.nodeRenames.empty());
}

TEST_F(ReplaceTest, ValueNameAndTextDataAreReplacedTogether) {
    SetString(HKEY_CURRENT_USER, "Rep", "OldRun", "run fast, RUN");
    FindAll("run", "HKEY_CURRENT_USER\\Rep");
    const std::string key = "HKEY_CURRENT_USER\\Rep";
    SearchResult& result = ResultAt(key, ResultKind::ValueName, "OldRun");
    ResultRowTexts row = ResultRowTextsOf(result);
    EXPECT_EQ(row.data, "\"run fast, RUN\"");

    ASSERT_TRUE(Replace(result, row, "RUN", "Walk"));
    EXPECT_EQ(result.valueName, "OldWalk");
    EXPECT_EQ(row.caption, "OldWalk");
    EXPECT_EQ(row.atValue, "OldWalk");
    EXPECT_EQ(view.valueRenames, (std::vector<std::string>{key + "|OldRun|OldWalk"}));
    EXPECT_EQ(row.raw, "Walk fast, Walk");
    EXPECT_EQ(row.data, "\"Walk fast, Walk\"");
    EXPECT_EQ(
        ValueData(HKEY_CURRENT_USER, "Rep", "OldWalk"),
        (std::vector<BYTE>{'W', 'a', 'l', 'k', ' ', 'f', 'a', 's', 't', ',', ' ', 'W', 'a', 'l', 'k', 0}));
    EXPECT_TRUE(ValueData(HKEY_CURRENT_USER, "Rep", "OldRun").empty());
}

TEST_F(ReplaceTest, ValueRenameOntoAnExistingNameChangesNothing) {
    SetString(HKEY_CURRENT_USER, "Rep", "ARun", "1");
    SetString(HKEY_CURRENT_USER, "Rep", "AWalk", "2");
    FindAll("run", "HKEY_CURRENT_USER\\Rep");
    SearchResult& result = ResultAt("HKEY_CURRENT_USER\\Rep", ResultKind::ValueName, "ARun");
    ResultRowTexts row = ResultRowTextsOf(result);
    EXPECT_FALSE(Replace(result, row, "run", "walk", true, true, false));
    EXPECT_EQ(result.valueName, "ARun");
    EXPECT_EQ(row.caption, "ARun");
    EXPECT_TRUE(view.valueRenames.empty());
}

TEST_F(ReplaceTest, NumberDataIsReplacedInItsDecimalText) {
    SetDword(HKEY_CURRENT_USER, "Rep", "Count", 10);
    SetValue(HKEY_CURRENT_USER, "Rep", "Big", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 10});
    FindAll("10", "HKEY_CURRENT_USER\\Rep");
    SearchResult& count = ResultAt("HKEY_CURRENT_USER\\Rep", ResultKind::DwordData, "Count");
    ResultRowTexts row = ResultRowTextsOf(count);
    ASSERT_TRUE(Replace(count, row, "1", "2", false, false, true));
    EXPECT_EQ(row.raw, "20");
    EXPECT_EQ(row.data, "0x00000014 (20)");
    EXPECT_EQ(ValueData(HKEY_CURRENT_USER, "Rep", "Count"), (std::vector<BYTE>{20, 0, 0, 0}));

    SearchResult& big = ResultAt("HKEY_CURRENT_USER\\Rep", ResultKind::DwordData, "Big");
    ResultRowTexts bigRow = ResultRowTextsOf(big);
    ASSERT_TRUE(Replace(big, bigRow, "10", "256", false, false, true));
    EXPECT_EQ(ValueData(HKEY_CURRENT_USER, "Rep", "Big"), (std::vector<BYTE>{0, 0, 1, 0}));

    // A text that is no longer a number is not written.
    const ResultRowTexts before = row;
    EXPECT_FALSE(Replace(count, row, "2", "x", false, false, true));
    EXPECT_EQ(row.raw, before.raw);
    EXPECT_EQ(ValueData(HKEY_CURRENT_USER, "Rep", "Count"), (std::vector<BYTE>{20, 0, 0, 0}));
}

TEST_F(ReplaceTest, BytesDataIsReplacedInItsByteText) {
    SetValue(HKEY_CURRENT_USER, "Rep", "Bin", REG_BINARY, {0xDE, 0xAD, 0x41});
    FindAll("ad", "HKEY_CURRENT_USER\\Rep");
    SearchResult& result = ResultAt("HKEY_CURRENT_USER\\Rep", ResultKind::BinaryData, "Bin");
    ResultRowTexts row = ResultRowTextsOf(result);
    EXPECT_EQ(row.data, "DE AD 41");
    EXPECT_EQ(row.raw, "..A");
    ASSERT_TRUE(Replace(result, row, "ad", "42", false, false, true));
    EXPECT_EQ(row.data, "DE 42 41");
    EXPECT_EQ(row.raw, ".BA");
    EXPECT_EQ(ValueData(HKEY_CURRENT_USER, "Rep", "Bin"), (std::vector<BYTE>{0xDE, 0x42, 0x41}));
}

TEST_F(ReplaceTest, MultiStringKeepsItsLaterStrings) {
    SetValue(HKEY_CURRENT_USER, "Rep", "List", REG_MULTI_SZ, {'r', 'u', 'n', 0, 'r', 'u', 'n', 0, 0});
    FindAll("run", "HKEY_CURRENT_USER\\Rep");
    SearchResult& result = ResultAt("HKEY_CURRENT_USER\\Rep", ResultKind::StringData, "List");
    ResultRowTexts row = ResultRowTextsOf(result);
    ASSERT_TRUE(Replace(result, row, "run", "go", false, false, true));
    EXPECT_EQ(row.raw, "go");
    EXPECT_EQ(ValueData(HKEY_CURRENT_USER, "Rep", "List"),
              (std::vector<BYTE>{'g', 'o', 0, 'r', 'u', 'n', 0, 0}));
}

} // namespace
} // namespace hw::search
