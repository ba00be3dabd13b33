#include "core/change_feed.h"
#include "core/key_ops.h"
#include "core/value_text.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <functional>

namespace hw::core {
namespace {

using Changes = std::vector<RegistryChange>;

class ChangeFeedTest : public ::testing::Test {
  protected:
    Changes Record(const std::function<void()>& action) {
        Changes seen;
        const ChangeFeed::Subscription subscription =
            RegistryChanges().Subscribe([&seen](const RegistryChange& change) { seen.push_back(change); });
        action();
        return seen;
    }
    static void Put(const std::string& path, const std::string& name) {
        ASSERT_TRUE(WriteValueTextOfPath(path, name, "text", REG_SZ)) << path;
    }

    test::TempRegistry registry;
};

RegistryChange Key(ChangeKind kind, std::string path, std::string newPath = {}) {
    RegistryChange change;
    change.kind = kind;
    change.keyPath = std::move(path);
    change.newKeyPath = std::move(newPath);
    return change;
}

RegistryChange Values(std::string path, std::vector<std::string> names) {
    RegistryChange change = Key(ChangeKind::ValuesChanged, std::move(path));
    change.valueNames = std::move(names);
    return change;
}

TEST_F(ChangeFeedTest, EachSharedOperationTellsWhatItChangedAfterTheChange) {
    const std::string k = "HKEY_CURRENT_USER\\F";
    struct Case {
        const char* what;
        std::function<void()> action;
        Changes expected;
    };
    const std::vector<Case> cases = {
        {"a value written into a new key",
         [] { WriteValueTextOfPath("HKCU\\F\\New\\", "v", "1", REG_SZ); },
         {Key(ChangeKind::KeyAdded, k + "\\New"), Values(k + "\\New", {"v"})}},
        {"a value written into a key that exists",
         [] { WriteValueTextOfPath("HKCU\\F", "", "1", REG_SZ); },
         {Values(k, {""})}},
        {"a number that is not one writes nothing",
         [] { WriteValueTextOfPath("HKCU\\F", "n", "x", REG_DWORD); },
         {}},
        {"a value deleted", [] { DeleteValuePath("hkcu\\F", "Old"); }, {Values(k, {"Old"})}},
        {"a value that is not there", [] { DeleteValuePath("HKCU\\F", "none"); }, {}},
        {"a value renamed",
         [] { RenameValuePath("HKCU\\F", "Old", "Young"); },
         {Values(k, {"Old", "Young"})}},
        {"a key deleted with its subtree",
         [] { DeleteKeyPath("HKCU\\F\\A\\"); },
         {Key(ChangeKind::KeyRemoved, k + "\\A")}},
        {"a key that is not there", [] { DeleteKeyPath("HKCU\\F\\Nothing"); }, {}},
        {"a key renamed is one rename",
         [] { RenameKeyPath("HKCU\\F\\A", "HKCU\\F\\B"); },
         {Key(ChangeKind::KeyRenamed, k + "\\A", k + "\\B")}},
        {"a rename onto a key that exists", [] { RenameKeyPath("HKCU\\F\\A", "HKCU\\F\\C"); }, {}},
        {"a key copied",
         [] { CopyKeyPath("HKCU\\F\\A", "HKEY_USERS\\Copy", false); },
         {Key(ChangeKind::KeyAdded, "HKEY_USERS\\Copy")}},
        {"a key moved",
         [] { CopyKeyPath("HKCU\\F\\A", "HKCU\\F\\C\\A", true); },
         {Key(ChangeKind::KeyAdded, k + "\\C\\A"), Key(ChangeKind::KeyRemoved, k + "\\A")}},
        {"a key copied into itself", [] { CopyKeyPath("HKCU\\F\\A", "HKCU\\F\\A\\Inner", false); }, {}},
    };
    for (const Case& one : cases) {
        Put("HKCU\\F\\A\\Deep", "x");
        Put("HKCU\\F\\C", "x");
        Put("HKCU\\F", "Old");
        EXPECT_EQ(Record(one.action), one.expected) << one.what;
        DeleteKeyPath("HKCU\\F");
        DeleteKeyPath("HKEY_USERS\\Copy");
    }
}

TEST_F(ChangeFeedTest, NothingIsToldWhenNobodyListensOrAfterTheSubscriptionEnds) {
    EXPECT_FALSE(RegistryChanges().Listening());
    Changes seen;
    {
        const ChangeFeed::Subscription subscription =
            RegistryChanges().Subscribe([&seen](const RegistryChange& change) { seen.push_back(change); });
        EXPECT_TRUE(RegistryChanges().Listening());
        Put("HKCU\\S", "a");
    }
    EXPECT_FALSE(RegistryChanges().Listening());
    Put("HKCU\\S", "b");
    EXPECT_EQ(seen, (Changes{Key(ChangeKind::KeyAdded, "HKEY_CURRENT_USER\\S"),
                             Values("HKEY_CURRENT_USER\\S", {"a"})}));
}

TEST_F(ChangeFeedTest, ABatchHoldsChangesUntilItEndsAndCollapsesABulkIntoOneChangeOfEveryKey) {
    Put("HKCU\\B", "v");
    const Changes few = Record([] {
        ChangeBatch outer;
        {
            ChangeBatch inner;
            DeleteValuePath("HKCU\\B", "v");
        }
        EXPECT_TRUE(RegistryChanges().Listening());
        Put("HKCU\\B", "w");
    });
    EXPECT_EQ(few, (Changes{Values("HKEY_CURRENT_USER\\B", {"v"}), Values("HKEY_CURRENT_USER\\B", {"w"})}));

    Changes duringBatch;
    const Changes many = Record([&] {
        ChangeBatch batch;
        for (std::size_t i = 0; i <= ChangeBatch::kHeldLimit; ++i)
            Put("HKCU\\B", "v" + std::to_string(i));
        duringBatch = Record([] {});
    });
    EXPECT_TRUE(duringBatch.empty());
    EXPECT_EQ(many, Changes{RegistryChange{}});

    const Changes everything = Record([] {
        ChangeBatch batch;
        Put("HKCU\\B", "x");
        PublishTreeChanged({});
    });
    EXPECT_EQ(everything, Changes{RegistryChange{}});
}

} // namespace
} // namespace hw::core
