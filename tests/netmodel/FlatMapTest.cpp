#include "netmodel/FlatMap.h"

#include <gtest/gtest.h>
#include <random>
#include <unordered_map>

namespace vq {
namespace {

// A hash that piles keys onto a few homes, so that erasing has long runs to close up.
struct CrowdingHash {
    size_t operator()(uint32_t key) const noexcept { return key % 5; }
};

// Random inserts and erases over a small key range, checked against the standard map after each
// step: every key is found exactly while it is in, also across growth, reserving and backward
// shifts.
TEST(FlatMapTest, FindsWhatWasPutAndNotWhatWasErased) {
    std::mt19937 random(3);
    FlatMap<uint32_t, int, CrowdingHash> map;
    std::unordered_map<uint32_t, int> reference;
    for (int step = 0; step < 20000; ++step) {
        const uint32_t key = random() % 200;
        if (random() % 3 == 0) {
            EXPECT_EQ(map.Erase(key), reference.erase(key) == 1);
        } else {
            auto [value, created] = map.Emplace(key);
            EXPECT_EQ(created, reference.count(key) == 0);
            *value = step;
            reference[key] = step;
        }
        if (step % 777 == 0) map.Reserve(map.Size() + 150);
        if (step % 5000 == 4999) {
            map.Clear();
            reference.clear();
        }
        ASSERT_EQ(map.Size(), reference.size());
        for (uint32_t probe = 0; probe < 200; ++probe) {
            const int* found = map.Find(probe);
            auto it = reference.find(probe);
            ASSERT_EQ(found != nullptr, it != reference.end()) << "step " << step << " key " << probe;
            if (found != nullptr) {
                ASSERT_EQ(*found, it->second);
            }
        }
    }
}

} // namespace
} // namespace vq
