#include "platform/time/Clock.h"

#include "platform/time/FileTime.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(Clock, SystemClockIsInstalledByDefault) {
    const uint64_t year2020 = 132'223'104'000'000'000;
    EXPECT_GT(CurrentClock().FileTimeNow(), year2020);
    EXPECT_EQ(CurrentClock().CounterFrequency(), 1'000'000'000);
    const int64_t first = CurrentClock().CounterNow();
    EXPECT_GE(CurrentClock().CounterNow(), first);
}

TEST(Clock, ScopedClockInstallsAndRestores) {
    ManualClock manual(UnixEpochTicks, 5'000'000);
    {
        ScopedClock scoped(manual);
        EXPECT_EQ(&CurrentClock(), &manual);
        EXPECT_EQ(CurrentClock().FileTimeNow(), UnixEpochTicks);
        manual.Advance(TicksPerSecond);
        EXPECT_EQ(CurrentClock().FileTimeNow(), UnixEpochTicks + TicksPerSecond);
        EXPECT_EQ(CurrentClock().CounterFrequency(), 5'000'000);
    }
    EXPECT_NE(&CurrentClock(), &manual);
}

TEST(Clock, ManualCounterFollowsItsTime) {
    ManualClock manual(3 * TicksPerSecond, 5'000'000);
    EXPECT_EQ(manual.CounterNow(), 15'000'000);
    manual.Advance(2);
    EXPECT_EQ(manual.CounterNow(), 15'000'001);
    manual.SetCounterFrequency(1'000'000'000);
    EXPECT_EQ(manual.CounterNow(), 3'000'000'200);
}

} // namespace
} // namespace vq
