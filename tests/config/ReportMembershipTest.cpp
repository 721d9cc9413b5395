#include "config/ReportMembership.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(ReportMembership, StoredNumbersKeepTheirBits) {
    struct Case {
        int report;
        int word;
        uint32_t mask;
    };
    const Case cases[] = {
        {1, 0, 1u << 0},  {2, 1, 1u << 1},   {5, 0, 1u << 4},    {32, 3, 1u << 31},
        {33, 1, 1u << 0}, {64, 0, 1u << 31}, {128, 2, 1u << 31},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        ReportMembership set;
        EXPECT_TRUE(set.SetMember(c.report, true));
        for (int w = 0; w < ReportMembership::kWords; ++w)
            EXPECT_EQ(set.GetWord(w), w == c.word ? c.mask : 0u) << "word " << w;
        EXPECT_TRUE(set.IsMember(c.report));
        EXPECT_TRUE(set.SetMember(c.report, false));
        EXPECT_FALSE(set.IsMember(c.report));
        EXPECT_EQ(set.GetWord(c.word), 0u);
    }
}

TEST(ReportMembership, NumbersAboveThirtyTwoDoNotShareBits) {
    ReportMembership set;
    set.SetMember(33, true);
    EXPECT_FALSE(set.IsMember(1));
    set.SetMember(1, true);
    set.SetMember(33, false);
    EXPECT_TRUE(set.IsMember(1));
}

TEST(ReportMembership, EveryNumberOneTo128OwnsOneBit) {
    ReportMembership set;
    for (int n = 1; n <= 128; ++n) {
        ASSERT_FALSE(set.IsMember(n)) << n << " already set by a lower number";
        set.SetMember(n, true);
    }
    for (int w = 0; w < ReportMembership::kWords; ++w)
        EXPECT_EQ(set.GetWord(w), 0xFFFFFFFFu);
}

TEST(ReportMembership, NumbersWithoutABitAreRefused) {
    ReportMembership set;
    for (int w = 0; w < ReportMembership::kWords; ++w)
        set.SetWord(w, 0xFFFFFFFFu);
    for (int n : {0, -1, 129, 1000}) {
        SCOPED_TRACE(n);
        EXPECT_FALSE(set.IsMember(n));
        EXPECT_FALSE(set.SetMember(n, false));
    }
    for (int w = 0; w < ReportMembership::kWords; ++w)
        EXPECT_EQ(set.GetWord(w), 0xFFFFFFFFu);
    ReportMembership empty;
    EXPECT_FALSE(empty.SetMember(0, true));
    EXPECT_FALSE(empty.SetMember(129, true));
    for (int w = 0; w < ReportMembership::kWords; ++w)
        EXPECT_EQ(empty.GetWord(w), 0u);
}

TEST(ReportMembership, WordIndexOutsideTheSetIsIgnored) {
    ReportMembership set;
    set.SetWord(4, 7);
    set.SetWord(-1, 7);
    EXPECT_EQ(set.GetWord(4), 0u);
    EXPECT_EQ(set.GetWord(-1), 0u);
    set.SetWord(3, 0x80000000u);
    EXPECT_EQ(set.GetWord(3), 0x80000000u);
    EXPECT_TRUE(set.IsMember(32));
}

} // namespace
} // namespace vq
