#include "config/Schedule.h"

#include "config/CCfgOstrelix.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(ScheduleValues, TextTimeAndLength) {
    struct Case {
        OleDateTime value;
        const char* text;
        bool hasTime;
        double seconds;
    };
    const Case cases[] = {
        {OleDateTime(1899, 1, 1, 0, 30, 0), "Every 00:30", true, 1800},
        {OleDateTime(1899, 1, 1, 0, 0, 0), "Every 00:00", false, 1},
        {OleDateTime(1899, 1, 1, 0, 1, 0), "Every 00:01", true, 60},
        {OleDateTime(1899, 1, 1, 0, 0, 59), "Every 00:00", false, 59},
        {OleDateTime(1899, 1, 2, 1, 0, 0), "Every 01:00", true, 90000},
        {OleDateTime(1900, 1, 1, 7, 45, 0), "Daily at 07:45", true, 0},
        {OleDateTime(1901, 1, 9, 14, 30, 0), "Weekly on Wed @ 14:30", true, 0},
        {OleDateTime(1902, 1, 15, 9, 5, 0), "Monthly on Day 15  @ 09:05", true, 0},
        {OleDateTime(1903, 3, 7, 18, 0, 0), "Annually on 07 Mar @ 18:00", true, 0},
        {OleDateTime(1910, 1, 1, 8, 0, 0), "Every 08:00", false, 0},
        {OleDateTime(1903, 1, 1, 0, 0, 0), "Annually on 01 Jan @ 00:00", false, 0},
        {OleDateTime(2001, 5, 6, 7, 8, 0), "????", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatSchedule(c.value), c.text);
        EXPECT_EQ(ScheduleHasTime(c.value), c.hasTime);
        if (c.seconds > 0) {
            EXPECT_EQ(ScheduleDurationSeconds(c.value), c.seconds);
        }
    }
    OleDateTime invalid(1899, 1, 1, 0, 30, 0);
    invalid.SetStatus(OleDateTime::invalid);
    EXPECT_EQ(FormatSchedule(invalid), "????");
    EXPECT_FALSE(ScheduleHasTime(invalid));
}

TEST(ScheduleValues, KindCodesSetTheStartOfTheirYear) {
    const OleDateTime point(2001, 5, 6, 7, 8, 0);
    struct Case {
        int kind;
        OleDateTime expected;
    };
    const Case cases[] = {
        {1, OleDateTime(1900, 1, 1, 0, 0, 0)},  {2, OleDateTime(1901, 1, 1, 0, 0, 0)},
        {3, OleDateTime(1902, 1, 1, 0, 0, 0)},  {4, OleDateTime(1903, 1, 1, 0, 0, 0)},
        {10, OleDateTime(1910, 1, 1, 0, 0, 0)}, {5, point},
        {0, OleDateTime(1899, 1, 1, 0, 0, 0)},  {6, OleDateTime(1899, 1, 1, 0, 0, 0)},
        {-1, OleDateTime(1899, 1, 1, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        OleDateTime value = point;
        SetScheduleKind(c.kind, value);
        EXPECT_EQ(value, c.expected);
    }
}

TEST(ScheduleValues, DefaultMonitorResetIsOff) {
    CCfgOstrelix root;
    const OleDateTime reset = root.GetMonitorResetTime();
    EXPECT_EQ(reset.GetYear(), kScheduleOff);
    EXPECT_EQ(FormatSchedule(reset), "Every 08:00");
}

TEST(ScheduleValues, CountdownFiresEveryPeriodAndRestarts) {
    ScheduleCountdown countdown;
    ScheduleStartCountdown(OleDateTime(1899, 1, 1, 0, 3, 0), countdown);
    const bool expected[] = {false, false, true, false, false, true};
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(ScheduleCountdownTick(countdown), expected[i]) << "tick " << i + 1;
}

TEST(ScheduleValues, CountdownOfOtherKindsNeverFires) {
    for (const OleDateTime& value : {OleDateTime(1900, 1, 1, 0, 3, 0), OleDateTime(1910, 1, 1, 0, 1, 0),
                                     OleDateTime(2001, 5, 6, 7, 8, 0)}) {
        ScheduleCountdown countdown;
        ScheduleStartCountdown(value, countdown);
        EXPECT_EQ(countdown.remainingSeconds, 0);
        for (int i = 0; i < 5; ++i)
            EXPECT_FALSE(ScheduleCountdownTick(countdown));
    }
}

TEST(ScheduleValues, ZeroPeriodCountdownFiresOnEveryTick) {
    ScheduleCountdown countdown;
    ScheduleStartCountdown(OleDateTime(1899, 1, 1, 0, 0, 0), countdown);
    EXPECT_TRUE(ScheduleCountdownTick(countdown));
    EXPECT_TRUE(ScheduleCountdownTick(countdown));
}

TEST(ScheduleValues, LongPeriodsCountWholeMinutesExactly) {
    // 40 hours of one-minute steps must land on the period, not one tick late.
    ScheduleCountdown countdown;
    ScheduleStartCountdown(OleDateTime(1899, 1, 2, 16, 0, 0), countdown);
    int fired = 0;
    for (int minute = 1; minute <= 2 * 2400; ++minute)
        if (ScheduleCountdownTick(countdown)) {
            ++fired;
            EXPECT_EQ(minute % 2400, 0) << minute;
        }
    EXPECT_EQ(fired, 2);
}

} // namespace
} // namespace vq
