// A priority queue for walks that take ids in rising order: an id pushed is never below the last one taken.
// Each entry waits in the bucket of the highest bit where its id differs from the last id taken, so a push
// is constant time and entries move to lower buckets only, a few times each: far cheaper than a heap.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <utility>
#include <vector>

namespace hw::store {

template <typename Value> class RisingQueue {
  public:
    using Entry = std::pair<std::uint64_t, Value>;

    bool empty() const { return size_ == 0; }
    // False (and nothing pushed) for an id below the last one taken.
    bool push(std::uint64_t id, Value value) {
        if (id < last_) return false;
        buckets_[BucketOf(id)].emplace_back(id, value);
        ++size_;
        return true;
    }
    // The entry with the lowest id; the queue must not be empty.
    Entry pop() {
        if (buckets_[0].empty()) {
            std::size_t bucket = 1;
            while (buckets_[bucket].empty())
                ++bucket;
            std::uint64_t lowest = buckets_[bucket].front().first;
            for (const Entry& entry : buckets_[bucket])
                lowest = std::min(lowest, entry.first);
            last_ = lowest;
            std::vector<Entry> moving;
            moving.swap(buckets_[bucket]);
            for (const Entry& entry : moving)
                buckets_[BucketOf(entry.first)].push_back(entry);
            moving.clear();
            buckets_[bucket].swap(moving); // keeps its storage for later
        }
        const Entry entry = buckets_[0].back();
        buckets_[0].pop_back();
        --size_;
        return entry;
    }

  private:
    std::size_t BucketOf(std::uint64_t id) const {
        return id == last_ ? 0 : static_cast<std::size_t>(64 - std::countl_zero(id ^ last_));
    }

    std::array<std::vector<Entry>, 65> buckets_;
    std::uint64_t last_ = 0;
    std::size_t size_ = 0;
};

} // namespace hw::store
