#include "store/sqlite/rising_queue.h"

#include <gtest/gtest.h>

#include <functional>
#include <queue>
#include <random>

namespace hw::store {
namespace {

// Takes ids in the order a heap would, whatever the spread of the ids pushed.
TEST(RisingQueueTest, TakesIdsInTheOrderAHeapWould) {
    for (const std::uint64_t spread : {std::uint64_t{1}, std::uint64_t{64}, std::uint64_t{1} << 40}) {
        std::mt19937_64 random(spread);
        RisingQueue<int> queue;
        std::priority_queue<std::uint64_t, std::vector<std::uint64_t>, std::greater<>> heap;
        std::uint64_t taken = 0;
        for (int round = 0; round < 2000; ++round) {
            // Like subkeys found while a walk takes keys: every id pushed lies above the last one taken.
            for (int i = static_cast<int>(random() % 4); i > 0; --i) {
                const std::uint64_t id = taken + 1 + random() % spread;
                ASSERT_TRUE(queue.push(id, static_cast<int>(id % 1000)));
                heap.push(id);
            }
            if (heap.empty()) continue;
            const auto [id, value] = queue.pop();
            ASSERT_EQ(heap.top(), id) << "spread " << spread;
            EXPECT_EQ(static_cast<int>(id % 1000), value);
            heap.pop();
            taken = id;
        }
        EXPECT_EQ(heap.empty(), queue.empty());
        EXPECT_FALSE(queue.push(taken - 1, 0)) << "an id below the last taken would come out of order";
    }
}

} // namespace
} // namespace hw::store
