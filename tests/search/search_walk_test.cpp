#include "core/key_ops.h"
#include "platform/registry_store.h"
#include "platform/user_identity.h"
#include "registry_builder.h"
#include "search/search_request.h"
#include "support/raw_link.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <tuple>

namespace hw::search {
namespace {

using test::MakeKey;
using test::SetDword;
using test::SetString;
using test::SetValue;

using Found = std::tuple<ResultKind, std::string, std::string>;

std::vector<Found> Summary(const SearchRequest& request) {
    std::vector<Found> found;
    for (const SearchResult& result : request.results())
        found.emplace_back(result.kind, result.keyPath, result.valueName);
    return found;
}

class SearchWalkTest : public ::testing::Test {
  protected:
    // Names sort the same way they were created, so any enumeration order the store keeps agrees.
    void MakeRunTree() {
        SetString(HKEY_CURRENT_USER, "RunRoot", "A1", "run fast");
        SetString(HKEY_CURRENT_USER, "RunRoot", "B2run", "x");
        SetString(HKEY_CURRENT_USER, "RunRoot", "C3run", "RUNNER");
        SetString(HKEY_CURRENT_USER, "RunRoot\\A\\RunOnce", "v", "Runs");
        MakeKey(HKEY_CURRENT_USER, "RunRoot\\Brun");
    }

    WalkOutcome Find(const std::string& text, std::uint8_t targets = kAllTargets,
                     MatchMode mode = MatchMode::Contains,
                     const std::string& start = "HKEY_CURRENT_USER\\RunRoot") {
        request.startPath = start;
        request.findText = text;
        request.targets = targets;
        request.mode = mode;
        return Search(request);
    }

    hw::test::TempRegistry registry;
    SearchRequest request;
};

TEST_F(SearchWalkTest, ReportsValuesThenEachSubkeyFollowedByItsSubtree) {
    MakeRunTree();
    EXPECT_EQ(Find("run"), WalkOutcome::Found);
    const std::string root = "HKEY_CURRENT_USER\\RunRoot";
    const std::vector<Found> expected = {
        {ResultKind::StringData, root, "A1"},
        {ResultKind::ValueName, root, "B2run"},
        {ResultKind::ValueName, root, "C3run"},
        {ResultKind::StringData, root, "C3run"},
        {ResultKind::KeyName, root + "\\A\\RunOnce", ""},
        {ResultKind::StringData, root + "\\A\\RunOnce", "v"},
        {ResultKind::KeyName, root + "\\Brun", ""},
    };
    EXPECT_EQ(Summary(request), expected);
    EXPECT_EQ(request.results().front().valueType, REG_SZ);
    EXPECT_EQ(request.results()[4].valueType, 0u);
}

TEST_F(SearchWalkTest, TargetsSelectWhatIsCompared) {
    MakeRunTree();
    Find("run", kTargetKeyNames);
    EXPECT_EQ(request.results().size(), 2u);
    for (const SearchResult& result : request.results())
        EXPECT_TRUE(result.isKey());

    Find("run", kTargetValueNames);
    EXPECT_EQ(request.results().size(), 2u);
    for (const SearchResult& result : request.results())
        EXPECT_EQ(result.kind, ResultKind::ValueName);

    EXPECT_EQ(Find("run", kTargetDwordData | kTargetBinaryData), WalkOutcome::NothingFound);
    EXPECT_TRUE(request.results().empty());
}

TEST_F(SearchWalkTest, StartKeyNameIsNeverTested) {
    MakeKey(HKEY_CURRENT_USER, "Software\\RunHere\\Deep\\RunOnce");
    Find("run", kTargetKeyNames, MatchMode::Contains, "HKEY_CURRENT_USER\\Software\\RunHere");
    EXPECT_EQ(Summary(request),
              (std::vector<Found>{
                  {ResultKind::KeyName, "HKEY_CURRENT_USER\\Software\\RunHere\\Deep\\RunOnce", ""}}));
}

TEST_F(SearchWalkTest, WholeTextAndWildcardApplyToNames) {
    SetString(HKEY_CURRENT_USER, "Modes", "Run", "");
    SetString(HKEY_CURRENT_USER, "Modes", "RunOnce", "");
    SetString(HKEY_CURRENT_USER, "Modes", "a*b", "");
    Find("RUN", kTargetValueNames, MatchMode::WholeText, "HKEY_CURRENT_USER\\Modes");
    EXPECT_EQ(Summary(request),
              (std::vector<Found>{{ResultKind::ValueName, "HKEY_CURRENT_USER\\Modes", "Run"}}));
    Find("\\*", kTargetValueNames, MatchMode::Wildcard, "HKEY_CURRENT_USER\\Modes");
    EXPECT_EQ(Summary(request),
              (std::vector<Found>{{ResultKind::ValueName, "HKEY_CURRENT_USER\\Modes", "a*b"}}));
    Find("r*o", kTargetValueNames, MatchMode::Wildcard, "HKEY_CURRENT_USER\\Modes");
    EXPECT_EQ(Summary(request),
              (std::vector<Found>{{ResultKind::ValueName, "HKEY_CURRENT_USER\\Modes", "RunOnce"}}));
}

TEST_F(SearchWalkTest, NumberDataIsMatchedAsUnsignedDecimal) {
    SetDword(HKEY_CURRENT_USER, "Numbers", "Ten", 10);
    SetValue(HKEY_CURRENT_USER, "Numbers", "TenBig", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 0x0A});
    SetDword(HKEY_CURRENT_USER, "Numbers", "Max", 0xFFFFFFFF);
    SetString(HKEY_CURRENT_USER, "Numbers", "Text10", "10");
    const std::string key = "HKEY_CURRENT_USER\\Numbers";
    Find("10", kTargetDwordData, MatchMode::WholeText, key);
    EXPECT_EQ(Summary(request), (std::vector<Found>{{ResultKind::DwordData, key, "Ten"},
                                                    {ResultKind::DwordData, key, "TenBig"}}));
    EXPECT_EQ(Find("A", kTargetDwordData, MatchMode::Contains, key), WalkOutcome::NothingFound);
    Find("4294967295", kTargetDwordData, MatchMode::WholeText, key);
    EXPECT_EQ(Summary(request), (std::vector<Found>{{ResultKind::DwordData, key, "Max"}}));
}

TEST_F(SearchWalkTest, BytesDataIsMatchedAsBlankSeparatedByteText) {
    const std::string key = "HKEY_CURRENT_USER\\Bytes";
    SetValue(HKEY_CURRENT_USER, "Bytes", "Bin", REG_BINARY, {0xDE, 0xAD});
    SetValue(HKEY_CURRENT_USER, "Bytes", "None", REG_NONE, {0x01, 0xAD});
    SetValue(HKEY_CURRENT_USER, "Bytes", "Qword", REG_QWORD, {0xAD, 0, 0, 0, 0, 0, 0, 0});
    Find("ad", kTargetBinaryData, MatchMode::Contains, key);
    EXPECT_EQ(Summary(request), (std::vector<Found>{{ResultKind::BinaryData, key, "Bin"},
                                                    {ResultKind::BinaryData, key, "None"},
                                                    {ResultKind::BinaryData, key, "Qword"}}));
    Find("E A", kTargetBinaryData, MatchMode::Contains, key);
    EXPECT_EQ(Summary(request), (std::vector<Found>{{ResultKind::BinaryData, key, "Bin"}}));
    Find("DE AD", kTargetBinaryData, MatchMode::WholeText, key);
    EXPECT_EQ(request.results().size(), 1u);
    EXPECT_EQ(Find("ad", kTargetStringData, MatchMode::Contains, key), WalkOutcome::NothingFound);
}

TEST_F(SearchWalkTest, TextDataIsMatchedUpToTheFirstNul) {
    const std::string key = "HKEY_CURRENT_USER\\Texts";
    const std::vector<BYTE> secondString = {'a', 0, 'r', 'u', 'n', 0, 0};
    const std::vector<BYTE> firstString = {'r', 'u', 'n', 0, 'a', 0, 0};
    SetValue(HKEY_CURRENT_USER, "Texts", "Multi2", REG_MULTI_SZ, secondString);
    SetValue(HKEY_CURRENT_USER, "Texts", "Multi1", REG_MULTI_SZ, firstString);
    SetValue(HKEY_CURRENT_USER, "Texts", "Tail", REG_SZ, {'a', 0, 'r', 'u', 'n'});
    SetString(HKEY_CURRENT_USER, "Texts", "Expand", "%RUN%", REG_EXPAND_SZ);
    SetValue(HKEY_CURRENT_USER, "Texts", "NoNul", REG_SZ, {'r', 'u', 'n'});
    Find("run", kTargetStringData, MatchMode::Contains, key);
    std::vector<std::string> names;
    for (const SearchResult& result : request.results()) {
        EXPECT_EQ(result.kind, ResultKind::StringData);
        names.push_back(result.valueName);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Expand", "Multi1", "NoNul"}));
}

TEST_F(SearchWalkTest, YieldsBetweenBatchesAndStopsAtTheNextBatch) {
    MakeRunTree();         // RunRoot, A, RunOnce, Brun
    std::uint8_t stop = 1; // a search clears the flag when it starts
    request.stopFlag = &stop;
    int yields = 0;
    request.yieldToInterface = [&] { ++yields; };
    request.batchTime = std::chrono::hours(1);
    EXPECT_EQ(Find("run"), WalkOutcome::Found);
    EXPECT_EQ(yields, 1); // before the one batch

    // Batches of one key: before RunRoot (which the walk goes on past, into A), before RunOnce, before Brun,
    // and before the batch that finds the end.
    request.batchTime = {};
    yields = 0;
    EXPECT_EQ(Find("run"), WalkOutcome::Found);
    EXPECT_EQ(yields, 4);

    yields = 0;
    request.yieldToInterface = [&] {
        if (++yields == 3) stop = 1; // pressed after RunOnce was searched
    };
    EXPECT_EQ(Find("run"), WalkOutcome::Stopped);
    EXPECT_EQ(yields, 3);
    // RunOnce and its value were reported; nothing after them was.
    ASSERT_EQ(request.results().size(), 6u);
    EXPECT_EQ(request.results().back().keyPath, "HKEY_CURRENT_USER\\RunRoot\\A\\RunOnce");
    EXPECT_EQ(request.results().back().valueName, "v");

    // Asked for by a found event, a stop takes effect as the next key is entered, whatever the batch.
    request.yieldToInterface = nullptr;
    request.onFound = [&](SearchResult&) { stop = 1; };
    for (const std::chrono::steady_clock::duration batchTime :
         {std::chrono::hours(0), std::chrono::hours(1)}) {
        request.batchTime = batchTime;
        EXPECT_EQ(Find("run"), WalkOutcome::Stopped);
        EXPECT_EQ(request.results().size(), 4u); // RunRoot's values
    }
}

TEST_F(SearchWalkTest, ChangesBetweenBatchesAreSeenWhereTheWalkHasNotBeen) {
    request.batchTime = {};
    struct Case {
        const char* change;
        std::function<void()> make;
        WalkOutcome outcome;
        std::vector<std::string> keyPaths; // of the results after RunRoot's values
    };
    const std::string root = "HKEY_CURRENT_USER\\RunRoot";
    const Case cases[] = {
        {"keys ahead deleted",
         [] {
             core::DeleteKeyTree(HKEY_CURRENT_USER, "RunRoot\\A\\RunOnce");
             core::DeleteKeyTree(HKEY_CURRENT_USER, "RunRoot\\Brun");
         },
         WalkOutcome::Found,
         {}},
        {"keys ahead added",
         [] { MakeKey(HKEY_CURRENT_USER, "RunRoot\\Crun"); },
         WalkOutcome::Found,
         {root + "\\A\\RunOnce", root + "\\A\\RunOnce", root + "\\Brun", root + "\\Crun"}},
        {"the key being walked deleted",
         [] { core::DeleteKeyTree(HKEY_CURRENT_USER, "RunRoot\\A"); },
         WalkOutcome::Found,
         {root + "\\Brun"}},
        {"the start key deleted",
         [] { core::DeleteKeyTree(HKEY_CURRENT_USER, "RunRoot"); },
         WalkOutcome::RegistryFailed,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        MakeRunTree();
        int yields = 0;
        // The first batch goes from RunRoot into A, which matches nothing; the change comes before the
        // second.
        request.yieldToInterface = [&] {
            if (++yields == 2) c.make();
        };
        EXPECT_EQ(Find("run"), c.outcome);
        std::vector<std::string> keyPaths;
        for (std::size_t i = 4; i < request.results().size(); ++i)
            keyPaths.push_back(request.results()[i].keyPath);
        EXPECT_EQ(request.results().size() >= 4 ? keyPaths : std::vector<std::string>{"too few results"},
                  c.keyPaths);
        core::DeleteKeyTree(HKEY_CURRENT_USER, "RunRoot");
    }
}

// A key that cannot be opened is reported by name and marks the level it is in as failed; a later find in
// that level outweighs it, and the start key's subtrees pass on only their finds.
TEST_F(SearchWalkTest, UnopenableKeysAreNamedAndFailTheirLevel) {
    const auto Keys = [](std::initializer_list<std::string> paths) {
        std::vector<Found> found;
        for (const std::string& path : paths)
            found.emplace_back(ResultKind::KeyName, path, "");
        return found;
    };
    EXPECT_EQ(Find("SAM", kTargetKeyNames, MatchMode::WholeText, "HKEY_LOCAL_MACHINE"),
              WalkOutcome::RegistryFailed);
    EXPECT_EQ(Summary(request), Keys({"HKEY_LOCAL_MACHINE\\SAM"}));
    EXPECT_EQ(Find("SYSTEM", kTargetKeyNames, MatchMode::WholeText, "HKEY_LOCAL_MACHINE"),
              WalkOutcome::Found);

    // Links that lead nowhere: one right below the start key, one further down.
    SetString(HKEY_CURRENT_USER, "Links\\Inner", "v", "x");
    MakeKey(HKEY_CURRENT_USER, "Gone");
    platform::FlushRegistry();
    const std::vector<std::string> links = {"HKEY_USERS", platform::CurrentUserIdentity().sid, "Links"};
    const std::vector<std::string> gone = {"HKEY_USERS", platform::CurrentUserIdentity().sid, "Gone"};
    std::vector<std::string> inner = links;
    inner.push_back("Inner");
    hw::test::AddLinkRow(registry.databasePath(), links, "Dangling", gone);
    hw::test::AddLinkRow(registry.databasePath(), inner, "Dangling", gone);
    core::DeleteKeyTree(HKEY_CURRENT_USER, "Gone");
    const std::string top = "HKEY_CURRENT_USER\\Links";
    EXPECT_EQ(Find("*", kTargetKeyNames, MatchMode::Wildcard, top), WalkOutcome::Found);
    EXPECT_EQ(Summary(request), Keys({top + "\\Dangling", top + "\\Inner", top + "\\Inner\\Dangling"}));
    EXPECT_EQ(Find("dangling", kTargetKeyNames, MatchMode::Contains, top), WalkOutcome::RegistryFailed);
    EXPECT_EQ(Find("dangling", kTargetKeyNames, MatchMode::Contains, top + "\\Inner"),
              WalkOutcome::RegistryFailed);
    EXPECT_EQ(Find("x", kTargetStringData, MatchMode::Contains, top), WalkOutcome::RegistryFailed);
}

// Opening key by key would follow such a link round and round.
TEST_F(SearchWalkTest, ALinkBackToAKeyAboveIsNamedButNotEntered) {
    SetString(HKEY_CURRENT_USER, "Loop", "v", "loop");
    MakeKey(HKEY_CURRENT_USER, "Loop\\Inner");
    platform::FlushRegistry();
    const std::vector<std::string> loop = {"HKEY_USERS", platform::CurrentUserIdentity().sid, "Loop"};
    std::vector<std::string> inner = loop;
    inner.push_back("Inner");
    hw::test::AddLinkRow(registry.databasePath(), inner, "Back", loop);
    const std::string top = "HKEY_CURRENT_USER\\Loop";
    EXPECT_EQ(Find("loop", kAllTargets, MatchMode::Contains, top), WalkOutcome::Found);
    EXPECT_EQ(Summary(request), (std::vector<Found>{{ResultKind::StringData, top, "v"}}));
    // Started below the key it leads to, the walk goes through it once, up to the link's second sight.
    EXPECT_EQ(Find("back", kAllTargets, MatchMode::Contains, top + "\\Inner"), WalkOutcome::Found);
    EXPECT_EQ(Summary(request),
              (std::vector<Found>{{ResultKind::KeyName, top + "\\Inner\\Back", ""},
                                  {ResultKind::KeyName, top + "\\Inner\\Back\\Inner\\Back", ""}}));
}

TEST_F(SearchWalkTest, FoundEventSeesEachResultAsItIsAdded) {
    MakeRunTree();
    std::vector<std::size_t> sizes;
    request.onFound = [&](SearchResult& result) {
        sizes.push_back(request.results().size());
        EXPECT_EQ(&result, &request.results().back());
    };
    Find("run");
    EXPECT_EQ(sizes, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7}));
    Find("zzz");
    EXPECT_TRUE(request.results().empty()); // each search empties the list first
}

TEST_F(SearchWalkTest, StartPathForms) {
    MakeRunTree();
    EXPECT_EQ(Find("run", kAllTargets, MatchMode::Contains, "HKEY_CURRENT_USER\\NoSuchKey"),
              WalkOutcome::RegistryFailed);
    EXPECT_TRUE(request.results().empty());
    EXPECT_EQ(Find("run", kAllTargets, MatchMode::Contains, "NOROOT\\RunRoot"), WalkOutcome::RegistryFailed);
    // A trailing backslash does not double up in result paths.
    Find("runonce", kTargetKeyNames, MatchMode::Contains, "HKEY_CURRENT_USER\\RunRoot\\");
    EXPECT_EQ(Summary(request),
              (std::vector<Found>{{ResultKind::KeyName, "HKEY_CURRENT_USER\\RunRoot\\A\\RunOnce", ""}}));
    // A root alone is walked as the root itself, under the text as given.
    Find("runonce", kTargetKeyNames, MatchMode::Contains, "HKCU");
    EXPECT_EQ(Summary(request), (std::vector<Found>{{ResultKind::KeyName, "HKCU\\RunRoot\\A\\RunOnce", ""}}));
}

TEST_F(SearchWalkTest, WholeRegistryWalksMachineThenUsers) {
    MakeKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\QzxMachine\\QzxBelow");
    MakeKey(HKEY_USERS, "QzxUsers");
    EXPECT_EQ(Find("qzx", kTargetKeyNames, MatchMode::Contains, ""), WalkOutcome::Found);
    std::vector<std::string> paths;
    for (const SearchResult& result : request.results())
        paths.push_back(result.keyPath);
    ASSERT_GE(paths.size(), 3u);
    EXPECT_EQ(paths[0], "HKEY_LOCAL_MACHINE\\SOFTWARE\\QzxMachine");
    EXPECT_EQ(paths[1], "HKEY_LOCAL_MACHINE\\SOFTWARE\\QzxMachine\\QzxBelow");
    EXPECT_EQ(paths.back(), "HKEY_USERS\\QzxUsers");
}

TEST_F(SearchWalkTest, StoppedMachineWalkNeverStartsUsers) {
    MakeKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\QzxMachine\\QzxBelow");
    MakeKey(HKEY_USERS, "QzxUsers");
    std::uint8_t stop = 0;
    request.stopFlag = &stop;
    request.onFound = [&](SearchResult&) { stop = 1; };
    EXPECT_EQ(Find("qzx", kTargetKeyNames, MatchMode::Contains, ""), WalkOutcome::Stopped);
    EXPECT_EQ(Summary(request),
              (std::vector<Found>{{ResultKind::KeyName, "HKEY_LOCAL_MACHINE\\SOFTWARE\\QzxMachine", ""}}));
}

} // namespace
} // namespace hw::search
