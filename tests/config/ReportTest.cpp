#include "config/CCfgReport.h"
#include "platform/time/Clock.h"
#include "platform/time/FileTime.h"
#include "platform/time/LocalTime.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

constexpr int kWednesday = 3;

// Asks the report at a local wall time (the tests run in Europe/Berlin).
class ReportClock {
public:
    bool IsDueAt(CCfgReport& report, int year, int month, int day, int hour, int minute, int second = 0) {
        std::tm local{};
        local.tm_year = year - 1900;
        local.tm_mon = month - 1;
        local.tm_mday = day;
        local.tm_hour = hour;
        local.tm_min = minute;
        local.tm_sec = second;
        local.tm_isdst = -1;
        int64_t seconds = 0;
        EXPECT_TRUE(UnixSecondsFromLocal(local, seconds));
        m_Clock.Set(UnixEpochTicks + static_cast<uint64_t>(seconds) * TicksPerSecond);
        return report.IsDue();
    }

private:
    ManualClock m_Clock;
    ScopedClock m_Installed{m_Clock};
};

struct Ask {
    int month, day, hour, minute, second;
    bool due;
};

void ExpectSequence(CCfgReport& report, int year, std::initializer_list<Ask> asks) {
    ReportClock clock;
    for (const auto& a : asks)
        EXPECT_EQ(clock.IsDueAt(report, year, a.month, a.day, a.hour, a.minute, a.second), a.due)
            << a.month << "-" << a.day << " " << a.hour << ":" << a.minute << ":" << a.second;
}

// Wednesday 14:30, repeated every `frequency` hours (unit 0) or days (unit 1).
void MakeWeekly(CCfgReport& report, int frequency, int unit) {
    report.SetDay(kWednesday);
    report.SetTime(OleDateTime(1899, 12, 30, 14, 30, 0));
    report.SetFrequency(frequency);
    report.SetFrequencyUnit(unit);
}

// 2026-12-09 is a Wednesday.
TEST(ConfigReport, DueOncePerTriggerMinute) {
    CCfgReport report;
    MakeWeekly(report, 0, 0);
    ExpectSequence(report, 2026,
                   {{12, 9, 14, 29, 40, false},
                    {12, 9, 14, 30, 0, true},
                    {12, 9, 14, 30, 20, false},
                    {12, 9, 14, 30, 59, false},
                    {12, 9, 14, 31, 0, false},
                    {12, 9, 15, 30, 0, false},
                    {12, 10, 14, 30, 0, false},
                    {12, 16, 14, 30, 10, true},
                    {12, 16, 14, 30, 30, false}});
}

TEST(ConfigReport, RepeatsEveryNHoursAfterTheTrigger) {
    CCfgReport report;
    MakeWeekly(report, 3, 0);
    ExpectSequence(report, 2026,
                   {{12, 9, 11, 30, 0, true}, // last week's trigger + 165 h
                    {12, 9, 11, 31, 0, false},
                    {12, 9, 14, 30, 0, true},
                    {12, 9, 17, 30, 0, true},
                    {12, 9, 17, 30, 30, false},
                    {12, 9, 17, 31, 0, false},
                    {12, 9, 18, 30, 0, false},
                    {12, 9, 20, 30, 0, true},
                    {12, 10, 2, 30, 0, true},
                    {12, 10, 3, 30, 0, false}});
}

TEST(ConfigReport, EachDueMinuteAnswersOnceEvenWithoutCallsBetween) {
    CCfgReport report;
    MakeWeekly(report, 1, 0);
    ExpectSequence(report, 2026,
                   {{12, 9, 14, 30, 0, true},
                    {12, 9, 15, 30, 0, true},
                    {12, 9, 15, 30, 30, false},
                    {12, 9, 16, 30, 0, true}});
}

TEST(ConfigReport, RepeatsEveryNDaysAtTheReportTime) {
    CCfgReport report;
    MakeWeekly(report, 1, 1);
    ExpectSequence(report, 2026,
                   {{12, 10, 14, 30, 0, true},
                    {12, 10, 14, 31, 0, false},
                    {12, 10, 15, 30, 0, false},
                    {12, 11, 14, 30, 0, true},
                    {12, 15, 14, 30, 0, true}});
    CCfgReport everyTwo;
    MakeWeekly(everyTwo, 2, 1);
    ExpectSequence(everyTwo, 2026, {{12, 10, 14, 30, 0, false}, {12, 11, 14, 30, 0, true}});
}

TEST(ConfigReport, DailyRepetitionKeepsLocalTimeAcrossSummerTime) {
    // Summer time in 2026 starts on Sunday March 29 and ends on Sunday October 25.
    for (const auto& [month, saturday] : {std::pair{3, 28}, std::pair{10, 24}}) {
        SCOPED_TRACE(month);
        CCfgReport report;
        report.SetDay(6);
        report.SetTime(OleDateTime(1899, 12, 30, 14, 30, 0));
        report.SetFrequency(1);
        report.SetFrequencyUnit(1);
        ExpectSequence(report, 2026,
                       {{month, saturday, 14, 30, 0, true},
                        {month, saturday + 1, 13, 30, 0, false},
                        {month, saturday + 1, 14, 30, 0, true},
                        {month, saturday + 1, 15, 30, 0, false},
                        {month, saturday + 2, 14, 30, 0, true}});
    }
}

TEST(ConfigReport, UnknownFrequencyUnitRunsAtTheTriggerOnly) {
    CCfgReport report;
    MakeWeekly(report, 1, 2);
    ExpectSequence(report, 2026,
                   {{12, 9, 14, 30, 0, true}, {12, 9, 15, 30, 0, false}, {12, 10, 14, 30, 0, false}});
}

TEST(ConfigReport, DayIsStoredPlusOne) {
    CCfgReport report;
    report.SetDay(6);
    EXPECT_EQ(report.GetDay(), 6);
    report.SetDay(0);
    EXPECT_EQ(report.GetDay(), 0);
    // A stored 0 (SetDay(-1)) reads as Sunday and is repaired to the stored 1.
    report.SetDay(-1);
    EXPECT_EQ(report.GetDay(), 0);
    EXPECT_EQ(report.GetDay(), 0);
}

TEST(ConfigReport, ReportNumberZeroIsNoMember) {
    const CCfgReport report;
    EXPECT_EQ(report.GetId(), 0);
}

} // namespace
} // namespace vq
