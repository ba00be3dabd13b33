// One statement joins ranges of ids held in memory against a table, range by range in their order.
#include "store/sqlite/id_ranges.h"

#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace hw::store {
namespace {

TEST(IdRanges, JoinGivesTheRowsOfEachRangeInRangeOrderAndNothingWithoutRanges) {
    test::TempDir dir;
    Database db(dir.file("ranges.db"), false);
    db.exec("CREATE TABLE t(k INTEGER, n INTEGER, PRIMARY KEY(k, n)) WITHOUT ROWID");
    // Key k has k % 4 rows, so some keys inside a range have none.
    std::vector<std::pair<std::int64_t, std::int64_t>> all;
    Statement insert(db.handle(), "INSERT INTO t VALUES(?1, ?2)");
    for (std::int64_t k = 1; k <= 40; ++k)
        for (std::int64_t n = 0; n < k % 4; ++n) {
            insert.bind(1, k).bind(2, n).run();
            all.emplace_back(k, n);
        }
    RegisterIdRanges(db.handle());
    Statement join(db.handle(),
                   "SELECT t.k, t.n FROM id_ranges(?1) r CROSS JOIN t ON t.k BETWEEN r.first AND r.last");
    const std::vector<std::vector<IdRange>> cases = {
        {},         {{5, 5}},   {{4, 4}},         {{1, 3}, {10, 12}},
        {{0, 100}}, {{38, 45}}, {{3, 4}, {5, 6}}, {{30, 31}, {2, 3}}};
    for (const std::vector<IdRange>& ranges : cases) {
        std::vector<std::pair<std::int64_t, std::int64_t>> expected, got;
        for (const IdRange& range : ranges)
            for (const auto& row : all)
                if (row.first >= range.first && row.first <= range.last) expected.push_back(row);
        BindIdRanges(join, 1, ranges);
        while (join.step())
            got.emplace_back(join.integer(0), join.integer(1));
        join.reset();
        EXPECT_EQ(got, expected) << ranges.size() << " ranges from "
                                 << (ranges.empty() ? 0 : ranges[0].first);
    }
    // A reset clears the ranges; a pointer of another kind is not read either.
    EXPECT_FALSE(join.step());
    join.reset();
    int other = 0;
    join.bindPointer(1, &other, "another");
    EXPECT_FALSE(join.step());
}

} // namespace
} // namespace hw::store
