// Statements that keep their bindings between runs bind again exactly what changed.
#include "store/sqlite/sqlite_db.h"

#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <optional>

namespace hw::store {
namespace {

// Runs "INSERT INTO t VALUES(?1, ?2)" as the store runs its inserts, then reads the rows back.
class KeptBindingsTest : public ::testing::Test {
  protected:
    KeptBindingsTest() : db_(dir_.file("kept.db"), false) {
        db_.exec("CREATE TABLE t(n INTEGER PRIMARY KEY, v)");
        insert_ = Statement(db_.handle(), "INSERT INTO t VALUES(?1, ?2)");
    }
    std::optional<std::int64_t> ValueOf(std::int64_t n) {
        Statement query(db_.handle(), "SELECT v FROM t WHERE n=?1");
        query.bind(1, n);
        if (!query.step() || query.isNull(0)) return std::nullopt;
        return query.integer(0);
    }

    test::TempDir dir_;
    Database db_;
    Statement insert_;
};

TEST_F(KeptBindingsTest, BindsAgainWhatAnotherBindOrAResetChanged) {
    insert_.bind(1, 1).bindKept(2, 7);
    insert_.runKeepingBindings();
    insert_.bind(1, 2).bindKept(2, 7); // still bound
    insert_.runKeepingBindings();
    insert_.bind(1, 3).bind(2, 8);
    insert_.runKeepingBindings();
    insert_.bind(1, 4).bindKept(2, 7); // bind changed it
    insert_.runKeepingBindings();
    insert_.bind(1, 5).bindKeptNull(2);
    insert_.runKeepingBindings();
    insert_.bind(1, 6).bindKept(2, 0); // a null is not 0
    insert_.runKeepingBindings();
    insert_.bindKept(2, 9);
    insert_.reset(); // clears the bindings
    insert_.bind(1, 7).bindKept(2, 9);
    insert_.runKeepingBindings();
    insert_.bind(1, 8).bindBlob(2, "x");
    insert_.bindKept(2, 9); // a blob is not 9
    insert_.runKeepingBindings();
    const std::optional<std::int64_t> expected[] = {7, 7, 8, 7, std::nullopt, 0, 9, 9};
    for (std::int64_t n = 1; n <= 8; ++n)
        EXPECT_EQ(ValueOf(n), expected[n - 1]) << n;
}

} // namespace
} // namespace hw::store
