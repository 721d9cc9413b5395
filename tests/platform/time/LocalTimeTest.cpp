// Runs with TZ=Europe/Berlin.
#include "platform/time/LocalTime.h"

#include "platform/time/CalendarTime.h"
#include "platform/time/FileTime.h"
#include "platform/time/SystemTime.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

uint64_t Ticks(SystemTime time) {
    uint64_t ticks = 0;
    EXPECT_TRUE(SystemTimeToFileTime(time, ticks));
    return ticks;
}

TEST(LocalTime, EachDateUsesItsOwnOffset) {
    struct Case {
        SystemTime utc;
        int offsetHours;
    };
    const Case cases[] = {
        {{2024, 7, 0, 15, 12, 0, 0, 250}, 2},
        {{2024, 1, 0, 15, 12, 0, 0, 250}, 1},
        {{1899, 12, 0, 29, 23, 0, 0, 0}, 1},
        {{1965, 7, 0, 1, 0, 0, 0, 0}, 1}, // no summer time that year
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.utc.year << '-' << c.utc.month);
        const uint64_t utc = Ticks(c.utc);
        uint64_t local = 0;
        ASSERT_TRUE(UtcToLocalFileTime(utc, local));
        EXPECT_EQ(int64_t(local - utc), c.offsetHours * 3600 * int64_t(TicksPerSecond));
        uint64_t back = 0;
        ASSERT_TRUE(LocalToUtcFileTime(local, back));
        EXPECT_EQ(back, utc);
    }
}

TEST(LocalTime, RefusesTimesOutsideTheFileTimeRange) {
    uint64_t out = 7;
    EXPECT_FALSE(UtcToLocalFileTime(FileTimeLimit, out));
    EXPECT_FALSE(UtcToLocalFileTime(FileTimeLimit - 1, out)) << "the local time would pass the limit";
    EXPECT_FALSE(LocalToUtcFileTime(FileTimeLimit, out));
    EXPECT_FALSE(LocalToUtcFileTime(0, out)) << "1601-01-01 00:00 local is before 1601 in UTC";
    EXPECT_EQ(out, 7u);
}

TEST(CalendarTime, FieldsAndTextsAreLocal) {
    CalendarTime summer;
    ASSERT_TRUE(CalendarTime::FromLocal({2024, 7, 0, 15, 14, 0, 0, 0}, summer));
    EXPECT_EQ(summer.GetTime(), 1'721'044'800);
    EXPECT_EQ(summer.Format("%Y/%m/%d/%H:%M:%S %a %Z"), "2024/07/15/14:00:00 Mon CEST");
    SystemTime back;
    ASSERT_TRUE(summer.GetAsSystemTime(back));
    EXPECT_EQ(back, (SystemTime{2024, 7, 1, 15, 14, 0, 0, 0}));

    CalendarTime refused(5);
    EXPECT_FALSE(CalendarTime::FromLocal({2024, 2, 0, 30, 0, 0, 0, 0}, refused));
    EXPECT_EQ(refused.GetTime(), 5);
}

TEST(CalendarTimeSpan, FormatsItsComponents) {
    const CalendarTimeSpan span(3, 4, 5, 6);
    EXPECT_EQ(span.GetTotalSeconds(), ((3 * 24 + 4) * 60 + 5) * 60 + 6);
    EXPECT_EQ(span.Format("%D days %H:%M:%S %% %x"), "3 days 04:05:06 % %x");
}

} // namespace
} // namespace vq
