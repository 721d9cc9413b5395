#include "platform/time/SystemTime.h"

#include "platform/time/FileTime.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(SystemTime, ConvertsFileTimesAcrossTheWholeRange) {
    struct Case {
        uint64_t ticks;
        SystemTime time;
    };
    const Case cases[] = {
        {0, {1601, 1, 1, 1, 0, 0, 0, 0}},
        {UnixEpochTicks, {1970, 1, 4, 1, 0, 0, 0, 0}},
        {133'655'184'000'000'000, {2024, 7, 1, 15, 12, 0, 0, 0}},
        {125'962'560'001'234'567, {2000, 2, 2, 29, 0, 0, 0, 123}},
        {FileTimeLimit - 1, {30828, 9, 4, 14, 2, 48, 5, 477}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ticks);
        SystemTime time;
        ASSERT_TRUE(FileTimeToSystemTime(c.ticks, time));
        EXPECT_EQ(time, c.time);
        if (c.time.year <= MaxSystemYear) {
            uint64_t back = 0;
            ASSERT_TRUE(SystemTimeToFileTime(c.time, back));
            EXPECT_EQ(back, c.ticks / TicksPerMillisecond * TicksPerMillisecond);
        }
    }
}

TEST(SystemTime, LastDayOfTheLastAcceptedYearRoundTrips) {
    const SystemTime last{30827, 12, 0, 31, 23, 59, 59, 999};
    uint64_t ticks = 0;
    ASSERT_TRUE(SystemTimeToFileTime(last, ticks));
    SystemTime back;
    ASSERT_TRUE(FileTimeToSystemTime(ticks, back));
    EXPECT_EQ(back.year, 30827);
    EXPECT_EQ(back.month, 12);
    EXPECT_EQ(back.day, 31);
    EXPECT_EQ(back.milliseconds, 999);
    ASSERT_TRUE(FileTimeToSystemTime(ticks + TicksPerMillisecond, back));
    EXPECT_EQ(back.year, 30828);
    EXPECT_EQ(back.month, 1);
    EXPECT_EQ(back.day, 1);
}

TEST(SystemTime, RefusesWhatThePlatformRefuses) {
    SystemTime time{};
    EXPECT_FALSE(FileTimeToSystemTime(FileTimeLimit, time));
    EXPECT_FALSE(FileTimeToSystemTime(~uint64_t(0), time));

    const SystemTime refused[] = {
        {1600, 12, 0, 31, 23, 59, 59, 999}, {30828, 1, 0, 1, 0, 0, 0, 0},   {2024, 0, 0, 1, 0, 0, 0, 0},
        {2024, 13, 0, 1, 0, 0, 0, 0},       {2024, 4, 0, 31, 0, 0, 0, 0},   {1900, 2, 0, 29, 0, 0, 0, 0},
        {2024, 1, 0, 0, 0, 0, 0, 0},        {2024, 1, 0, 1, 24, 0, 0, 0},   {2024, 1, 0, 1, 0, 60, 0, 0},
        {2024, 1, 0, 1, 0, 0, 60, 0},       {2024, 1, 0, 1, 0, 0, 0, 1000},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(testing::Message() << r.year << '-' << r.month << '-' << r.day << ' ' << r.hour << ':'
                                        << r.minute << ':' << r.second << '.' << r.milliseconds);
        uint64_t ticks = 42;
        EXPECT_FALSE(SystemTimeToFileTime(r, ticks));
        EXPECT_EQ(ticks, 42u);
    }
    uint64_t ticks = 0;
    EXPECT_TRUE(SystemTimeToFileTime({2000, 2, 6, 29, 0, 0, 0, 0}, ticks)) << "leap day of a 400-year";
}

TEST(FileTime, HalvesHoldTheTicks) {
    const uint64_t ticks = 0x0123'4567'89AB'CDEFull;
    const FileTime halves = FileTime::FromTicks(ticks);
    EXPECT_EQ(halves.low, 0x89AB'CDEFu);
    EXPECT_EQ(halves.high, 0x0123'4567u);
    EXPECT_EQ(halves.Ticks(), ticks);
}

} // namespace
} // namespace vq
