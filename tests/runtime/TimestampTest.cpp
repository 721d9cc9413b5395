// Runs with TZ=Europe/Berlin.
#include "runtime/Timestamp.h"

#include "platform/time/Clock.h"
#include "runtime/TimeRange.h"

#include <gtest/gtest.h>
#include <string>

namespace vq {
namespace {

Timestamp Utc(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute,
              uint16_t second = 0, uint16_t milliseconds = 0) {
    Timestamp time;
    EXPECT_TRUE(time.SetSystemTime({year, month, 0, day, hour, minute, second, milliseconds}));
    return time;
}

TEST(Timestamp, OleDateRoundTripUsesEachDatesOffsetAndDropsMilliseconds) {
    struct Case {
        Timestamp utc;
        int localHour;
    };
    const Case cases[] = {{Utc(2024, 7, 15, 12, 34, 56, 789), 14}, {Utc(2024, 1, 15, 12, 34, 56, 789), 13}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utc.Format("%Y-%m-%d"));
        const OleDateTime local = c.utc.GetOleDateTime();
        EXPECT_EQ(local.GetHour(), c.localHour);
        EXPECT_EQ(local.GetSecond(), 56);
        Timestamp back;
        ASSERT_TRUE(back.SetOleDateTime(local));
        EXPECT_EQ(back.GetTicks(), c.utc.GetTicks() - 789 * TicksPerMillisecond);
    }
}

TEST(Timestamp, OleZeroTimeIsLocalMidnight) {
    EXPECT_EQ(OLE_ZERO_TIME(), Utc(1899, 12, 29, 23, 0));
}

TEST(Timestamp, ReadsAndWritesOleDatesInLocalTime) {
    struct Case {
        double date;
        Timestamp utc;
    };
    const Case cases[] = {
        {2.5, Utc(1900, 1, 1, 11, 0)},
        {-1.25, Utc(1899, 12, 29, 5, 0)},
        {-363.0 - 30.0 / 1440, Utc(1898, 12, 31, 23, 30)},
        {3654.0 + 8.0 / 24, Utc(1910, 1, 1, 7, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        Timestamp time;
        time.SetFromDouble(c.date, Unit::Days, ConversionDATE);
        EXPECT_EQ(time, c.utc);
        double date = 0.0;
        c.utc.GetValue(date, Unit::Days, ConversionUnset);
        EXPECT_NEAR(date, c.date, 1e-9);
    }
}

TEST(Timestamp, SystemTimeCoversTheWholeFileTimeRange) {
    struct Case {
        Timestamp time;
        SystemTime fields;
    };
    const Case cases[] = {
        {Timestamp(0), {1601, 1, 1, 1, 0, 0, 0, 0}},
        {CTIME_ZERO_TIME, {1970, 1, 4, 1, 0, 0, 0, 0}},
        {Utc(30827, 12, 31, 23, 59, 59, 999), {30827, 12, 0, 31, 23, 59, 59, 999}},
    };
    for (const auto& c : cases) {
        SystemTime fields;
        ASSERT_TRUE(c.time.GetSystemTime(fields));
        EXPECT_EQ(fields.year, c.fields.year);
        EXPECT_EQ(fields.month, c.fields.month);
        EXPECT_EQ(fields.day, c.fields.day);
        EXPECT_EQ(fields.milliseconds, c.fields.milliseconds);
    }
    SystemTime fields;
    EXPECT_FALSE(Timestamp(uint64_t(1) << 63).GetSystemTime(fields));
    EXPECT_FALSE(MAX_TIME.GetSystemTime(fields));
    EXPECT_EQ(MAX_TIME.Format("%Y"), "<<MAX_TIME>>");
    EXPECT_EQ(Timestamp(uint64_t(1) << 63).Format("%Y"), "") << "no local date, no text";
}

struct Check {
    const char* what;
    std::string got;
    std::string want;
};

std::string Text(int64_t value) {
    return std::to_string(value);
}

TEST(TimeValues, EdgeCases) {
    ManualClock clock(0, 5'000'000);
    ScopedClock scoped(clock);
    const Timestamp t(1'000'000);
    const Timestamp start = Utc(2024, 7, 15, 12, 0);
    const TimeSpan second(1, Unit::Seconds);
    TimeRange fixed(start, second, 10);
    const bool anchored = fixed.Anchor(start, start + TimeSpan(11, Unit::Seconds));
    TimeRange huge(start, start + TimeSpan(4'294'967'295));
    const bool hugeSet = huge.SetPeriod(TimeSpan(1));
    const TimeRange both(start, start + second);
    const TimeRange noEnd(start, NULL_TIME);

    const Check checks[] = {
        {"resolution of a 5 MHz counter", Text(ClockResolution()), "2"},
        {"2 ticks apart", Text(t.Compare(Timestamp(1'000'002))), "0"},
        {"3 ticks earlier", Text(t.Compare(Timestamp(1'000'003))), "1"},
        {"3 ticks later", Text(Timestamp(1'000'003).Compare(t)), "-1"},
        {"itself", Text(t.Compare(t)), "0"},
        {"MAX_TIME is later", Text(MAX_TIME.Compare(start)), "-1"},
        {"NULL_TIME is earlier", Text(NULL_TIME.Compare(Timestamp(3))), "1"},
        {"NULL_TIME within resolution", Text(NULL_TIME.Compare(Timestamp(2))), "0"},
        {"NULL_TIME text", NULL_TIME.Format("%Y"), "<<NULL_TIME>>"},
        {"NULL_TIME text, other format", NULL_TIME.Format("%H:%M"), "<<NULL_TIME>>"},
        {"MAX_TIME text", MAX_TIME.Format("%Y"), "<<MAX_TIME>>"},
        {"9,999,999 ticks in seconds", Text(TimeSpan(9'999'999).GetUnits(Unit::Seconds)), "0"},
        {"-15,000,000 ticks in seconds", Text(TimeSpan(-15'000'000).GetUnits(Unit::Seconds)), "-1"},
        {"align exactly half", Text(Timestamp::Align(Timestamp(1'000'050), TimeSpan(100), 0).GetTicks()),
         "1000000"},
        {"align half plus one", Text(Timestamp::Align(Timestamp(1'000'051), TimeSpan(100), 0).GetTicks()),
         "1000100"},
        {"align down", Text(Timestamp::Align(Timestamp(1'000'099), TimeSpan(100), 1).GetTicks()), "1000000"},
        {"align up", Text(Timestamp::Align(Timestamp(1'000'001), TimeSpan(100), 2).GetTicks()), "1000100"},
        {"align period 0", Text(Timestamp::Align(Timestamp(1'000'051), ZERO_SPAN, 0).GetTicks()), "1000051"},
        {"align down from 2^63 on", Text(int64_t(Timestamp::Align(MAX_TIME, TimeSpan(100), 1).GetTicks())),
         Text(int64_t(~uint64_t(0) - 15))},
        {"align period -1", Text(Timestamp::Align(Timestamp(1'000'051), TimeSpan(-1), 2).GetTicks()),
         "1000051"},
        {"range of both ends: count", Text(both.GetCount()), "1"},
        {"range of both ends: period", Text(both.GetPeriod().GetTicks()), Text(second.GetTicks())},
        {"range of both ends: valid", Text(both.IsValid()), "1"},
        {"range without end: valid", Text(noEnd.IsValid()), "0"},
        {"range without end: flags", Text(noEnd.GetDefinition()), "5"},
        {"range without end: count", Text(noEnd.GetCount()), "0"},
        {"anchor to a wrong end", Text(anchored), "0"},
        {"anchor to a wrong end keeps the end", Text(fixed.GetEnd().GetTicks()),
         Text((start + TimeSpan(10, Unit::Seconds)).GetTicks())},
        {"period fitting 2^32 - 1 times", Text(hugeSet), "0"},
        {"unit text 8", UnitText(8), "<unit invalid>"},
        {"mode text 4", ConversionModeText(4), "<unit invalid>"},
    };
    for (const auto& c : checks)
        EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(TimeRange, RefusedPeriodChangesNothing) {
    const Timestamp start = Utc(2024, 7, 15, 12, 0);
    TimeRange range(start, start + TimeSpan(1, Unit::Hours), TimeSpan(1, Unit::Minutes));
    ASSERT_EQ(range.GetCount(), 60u);
    for (const TimeSpan& period : {TimeSpan(-1), ZERO_SPAN}) {
        EXPECT_FALSE(range.SetPeriod(period));
        EXPECT_EQ(range.GetCount(), 60u);
        EXPECT_EQ(range.GetPeriod(), TimeSpan(1, Unit::Minutes));
    }
    TimeRange backwards(start, start + TimeSpan(-1, Unit::Hours));
    EXPECT_FALSE(backwards.SetPeriod(TimeSpan(1, Unit::Minutes))) << "a negative total gives no count";
    EXPECT_EQ(backwards.GetCount(), 1u);
    EXPECT_FALSE(range.SetCount(0));
    EXPECT_TRUE(range.SetCount(4));
    EXPECT_EQ(range.GetPeriod(), TimeSpan(15, Unit::Minutes));
}

TEST(TimeRange, EachConstructorRecordsWhatWasGiven) {
    const Timestamp start = Utc(2024, 7, 15, 12, 0);
    const Timestamp end = start + TimeSpan(1, Unit::Hours);
    const TimeSpan minute(1, Unit::Minutes);
    struct Case {
        const char* what;
        TimeRange range;
        uint32_t flags, count;
        bool valid;
        Timestamp start, end;
        TimeSpan total;
    };
    const Case cases[] = {
        {"period, count", TimeRange(minute, 60), 3, 60, false, NULL_TIME, NULL_TIME,
         TimeSpan(60, Unit::Minutes)},
        {"period only", TimeRange(minute, 0), 2, 0, false, NULL_TIME, NULL_TIME, ZERO_SPAN},
        {"start, end", TimeRange(start, end), 5, 1, true, start, end, TimeSpan(1, Unit::Hours)},
        {"end only", TimeRange(NULL_TIME, end), 9, 0, false, NULL_TIME, end, ZERO_SPAN},
        {"start, end, period", TimeRange(start, end, minute), 6, 60, true, start, end,
         TimeSpan(1, Unit::Hours)},
        {"start, end, count", TimeRange(start, end, 4u), 5, 4, true, start, end, TimeSpan(1, Unit::Hours)},
        {"start, period, count", TimeRange(start, minute, 60), 7, 60, true, start, end,
         TimeSpan(1, Unit::Hours)},
        {"start, period, no count", TimeRange(start, minute, 0), 6, 0, false, start, NULL_TIME, ZERO_SPAN},
        {"period, end, count", TimeRange(minute, end, 60), 11, 60, true, start, end,
         TimeSpan(1, Unit::Hours)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.range.GetDefinition(), c.flags);
        EXPECT_EQ(c.range.GetCount(), c.count);
        EXPECT_EQ(c.range.IsValid(), c.valid);
        EXPECT_EQ(c.range.GetStart(), c.start);
        EXPECT_EQ(c.range.GetEnd(), c.end);
        EXPECT_EQ(c.range.GetTotal(), c.total);
    }
}

TEST(TimeRange, PeriodsCountFromTheirEnds) {
    const Timestamp start = Utc(2024, 7, 15, 12, 0);
    const TimeSpan minute(1, Unit::Minutes);
    const TimeRange range(start, minute, 3);
    EXPECT_EQ(range.PeriodStart(0), start);
    EXPECT_EQ(range.PeriodStart(2), start + TimeSpan(2, Unit::Minutes));
    EXPECT_EQ(range.PeriodStart(3), NULL_TIME);
    EXPECT_EQ(range.PeriodEnd(0), start + TimeSpan(3, Unit::Minutes));
    EXPECT_EQ(range.PeriodEnd(2), start + minute);
    EXPECT_EQ(TimeRange(minute, 3).PeriodStart(0), NULL_TIME);
    EXPECT_EQ(range.Format("%s - %s"), "2024/07/15/14:00:00 - 2024/07/15/14:03:00");
}

TEST(TimeRange, AnchoringKeepsTheDefinition) {
    const Timestamp start = Utc(2024, 7, 15, 12, 0);
    const Timestamp later = start + TimeSpan(1, Unit::Days);
    const TimeSpan minute(1, Unit::Minutes);

    TimeRange byCount(start, start + TimeSpan(1, Unit::Hours), 4u);
    ASSERT_TRUE(byCount.Anchor(later, later + TimeSpan(2, Unit::Hours)));
    EXPECT_EQ(byCount.GetCount(), 4u);
    EXPECT_EQ(byCount.GetPeriod(), TimeSpan(30, Unit::Minutes));
    EXPECT_EQ(byCount.GetDefinition(), 5u);

    TimeRange byPeriod(start, start + TimeSpan(1, Unit::Hours), minute);
    ASSERT_TRUE(byPeriod.Anchor(later, later + TimeSpan(2, Unit::Hours)));
    EXPECT_EQ(byPeriod.GetCount(), 120u);

    TimeRange fixed(start, minute, 60);
    ASSERT_TRUE(fixed.Anchor(later, later + TimeSpan(1, Unit::Hours)));
    EXPECT_EQ(fixed.GetStart(), later);
    EXPECT_EQ(fixed.GetDefinition(), 7u);
}

TEST(TimeSpan, UnitsConvertExactlyOrByTruncation) {
    TimeSpan span;
    span.SetUnits(3, Unit::Weeks);
    EXPECT_EQ(span.GetTicks(), 3 * 6'048'000'000'000);
    span.SetUnits(4'000'000'000u, Unit::Microseconds);
    EXPECT_EQ(span.GetTicks(), 40'000'000'000) << "unsigned counts are not sign-extended";
    span.SetUnits(-1.99999999, Unit::Microseconds);
    EXPECT_EQ(span.GetTicks(), -19);
    span.SetUnits(1e300, Unit::Days);
    EXPECT_EQ(span, MAX_SPAN) << "a count beyond the range saturates";
    span.AddUnits(1, Unit::Ticks);
    EXPECT_EQ(span, MIN_SPAN) << "sums wrap around";
    EXPECT_EQ(TimeSpan(90, Unit::Minutes).GetUnits(Unit::Hours), 1);
    int32_t minutes = 0;
    TimeSpan(90, Unit::Minutes).GetUnits(minutes, Unit::Minutes);
    EXPECT_EQ(minutes, 90);
    EXPECT_EQ(TimeSpan(36, Unit::Hours).Format("%D %H:%M:%S"), "1 12:00:00");
    EXPECT_EQ(TimeSpan(1).Compare(TimeSpan(2)), 1);
    EXPECT_EQ(TimeSpan(-1).Compare(TimeSpan(-2)), -1);
    EXPECT_EQ((TimeSpan(5) - TimeSpan(7)).GetTicks(), -2);
}

TEST(Timestamp, DaysBecomeWholeSeconds) {
    Timestamp time(0);
    time.AddDays(1.0 / 3);
    EXPECT_EQ(time.GetTicks(), 28'800 * TicksPerSecond) << "a third of a day is 8 hours, not 7:59:59";
    time.SubtractDays(0.5 / 86'400);
    EXPECT_EQ(time.GetTicks(), 28'800 * TicksPerSecond) << "half a second is no whole second";
    time.AddSeconds(-1);
    EXPECT_EQ(time.GetTicks(), 28'799 * TicksPerSecond);
}

TEST(Timestamp, NowReadsTheInstalledClock) {
    const Timestamp fixed = Utc(2024, 7, 15, 12, 0);
    ManualClock clock(fixed.GetTicks());
    ScopedClock scoped(clock);
    EXPECT_EQ(Timestamp::Now(), fixed);
    EXPECT_EQ(ClockResolution(), 0);
    clock.Advance(TicksPerSecond);
    Timestamp now;
    now.SetNow();
    EXPECT_EQ(now, fixed + TimeSpan(1, Unit::Seconds));
    EXPECT_EQ(CalendarTime::GetCurrentTime().GetTime(), 1'721'044'801);
    EXPECT_EQ(OleDateTime::GetCurrentTime().Format("%H:%M:%S"), "14:00:01");
    clock.SetCounterFrequency(0);
    EXPECT_EQ(ClockResolution(), 10'000);
}

TEST(Timestamp, ValuesByUnitAndMode) {
    Timestamp time(5, Unit::Seconds, ConversionImplicit);
    EXPECT_EQ(time.GetTicks(), 5 * TicksPerSecond);
    int64_t count = 0;
    time.GetValue(count, Unit::Milliseconds, ConversionUnset);
    EXPECT_EQ(count, 5'000);
    time.SetValue(int64_t(7), Unit::Seconds, ConversionDATE);
    EXPECT_EQ(time.GetTicks(), 5 * TicksPerSecond) << "integers are no dates";
    time.SetFromDouble(2.5, Unit::Seconds, ConversionImplicit);
    EXPECT_EQ(time.GetTicks(), 25'000'000u);
    time.SetFromDouble(-1.0, Unit::Seconds, ConversionImplicit);
    EXPECT_EQ(time.GetTicks(), 25'000'000u) << "no time before 1601";
    time.SetFromDouble(2.5, Unit::Hours, ConversionDATE);
    EXPECT_EQ(time.GetTicks(), 25'000'000u) << "dates are days";
    time.SetValue(42, Unit::Seconds, ConversionImplicit);
    EXPECT_EQ(time.GetTicks(), 25'000'000u) << "32-bit counts are ignored";
    EXPECT_EQ(Timestamp(CalendarTime(1)).GetTicks(), UnixEpochTicks + TicksPerSecond);
    EXPECT_EQ(Timestamp(UnixEpochTicks - 1).GetCTime().GetTime(), -1);
}

} // namespace
} // namespace vq
