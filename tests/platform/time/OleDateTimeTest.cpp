#include "platform/time/OleDateTime.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(OleDateTime, EncodesDatesOnBothSidesOfDayZero) {
    struct Case {
        double value;
        int year, month, day, hour, minute, dayOfWeek;
    };
    const Case cases[] = {
        {0.0, 1899, 12, 30, 0, 0, 7},
        {2.5, 1900, 1, 1, 12, 0, 2},
        {-1.25, 1899, 12, 29, 6, 0, 6},
        {-363.0 - 30.0 / 1440, 1899, 1, 1, 0, 30, 1},
        {3654.0 + 8.0 / 24, 1910, 1, 1, 8, 0, 7},
        {-657'434.0, 100, 1, 1, 0, 0, 6},
        {2'958'465.0 + 86'399.0 / 86'400, 9999, 12, 31, 23, 59, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const OleDateTime decoded(c.value);
        ASSERT_EQ(decoded.GetStatus(), OleDateTime::valid);
        EXPECT_EQ(decoded.GetYear(), c.year);
        EXPECT_EQ(decoded.GetMonth(), c.month);
        EXPECT_EQ(decoded.GetDay(), c.day);
        EXPECT_EQ(decoded.GetHour(), c.hour);
        EXPECT_EQ(decoded.GetMinute(), c.minute);
        EXPECT_EQ(decoded.GetDayOfWeek(), c.dayOfWeek);

        const int second = c.year == 9999 ? 59 : 0;
        const OleDateTime encoded(c.year, c.month, c.day, c.hour, c.minute, second);
        ASSERT_EQ(encoded.GetStatus(), OleDateTime::valid);
        EXPECT_DOUBLE_EQ(encoded.Value(), c.value);
    }
}

TEST(OleDateTime, ArithmeticFollowsTheTimeLine) {
    // Adding a day to 1899-12-29 06:00 gives 1899-12-30 06:00: the stored values differ by 1.5.
    const OleDateTime before(-1.25);
    const OleDateTime after = before + OleDateTimeSpan(1.0);
    EXPECT_DOUBLE_EQ(after.Value(), 0.25);
    EXPECT_DOUBLE_EQ((after - before).Value(), 1.0);
    EXPECT_DOUBLE_EQ((before - OleDateTimeSpan(0.5)).Value(), -2.75);
    EXPECT_TRUE(before < after);
    EXPECT_TRUE(OleDateTime(-1.25) < OleDateTime(-1.75)) << "18:00 of a day is later than 06:00";
    EXPECT_EQ((OleDateTime(9999, 12, 31, 0, 0, 0) + OleDateTimeSpan(1.0)).GetStatus(), OleDateTime::invalid);
}

TEST(OleDateTime, OutOfRangeOrUnsetIsNotAValidDate) {
    EXPECT_EQ(OleDateTime(99, 12, 31, 0, 0, 0).GetStatus(), OleDateTime::invalid);
    EXPECT_EQ(OleDateTime(10000, 1, 1, 0, 0, 0).GetStatus(), OleDateTime::invalid);
    EXPECT_EQ(OleDateTime(2023, 2, 29, 0, 0, 0).GetStatus(), OleDateTime::invalid);
    EXPECT_EQ(OleDateTime(2024, 1, 1, 24, 0, 0).GetStatus(), OleDateTime::invalid);
    EXPECT_EQ(OleDateTime(-657'435.0).GetStatus(), OleDateTime::invalid);
    EXPECT_EQ(OleDateTime(2'958'466.0).GetStatus(), OleDateTime::invalid);
    EXPECT_EQ(OleDateTime(0.0 / 0.0).GetStatus(), OleDateTime::invalid);

    OleDateTime null;
    null.SetStatus(OleDateTime::null);
    EXPECT_EQ(null.GetYear(), -1);
    EXPECT_EQ(null.Format("%Y"), "");
    EXPECT_EQ((null + OleDateTimeSpan(1.0)).GetStatus(), OleDateTime::null);
    SystemTime time;
    EXPECT_FALSE(null.GetAsSystemTime(time));
}

TEST(OleDateTime, FormatsWithStrftimeCodesInTheCLocale) {
    const OleDateTime date(2024, 7, 15, 14, 5, 9);
    EXPECT_EQ(date.Format("%Y/%m/%d/%H:%M:%S"), "2024/07/15/14:05:09");
    EXPECT_EQ(date.Format("%A %d %B %Y, day %j"), "Monday 15 July 2024, day 197");
    EXPECT_EQ(date.Format(""), "");
    EXPECT_EQ(date.Format(nullptr), "");
    EXPECT_EQ(date.Format(std::string(500, 'x').c_str()), std::string(500, 'x'));
    EXPECT_EQ(OleDateTime(-1.25).Format("%Y-%m-%d %H:%M %a"), "1899-12-29 06:00 Fri");
}

TEST(OleDateTime, SystemTimeDropsMilliseconds) {
    const OleDateTime date(SystemTime{2024, 1, 0, 15, 8, 30, 15, 999});
    SystemTime back;
    ASSERT_TRUE(date.GetAsSystemTime(back));
    EXPECT_EQ(back, (SystemTime{2024, 1, 1, 15, 8, 30, 15, 0}));
}

TEST(OleDateTimeSpan, ComponentsAndFormat) {
    const OleDateTimeSpan span(2, 3, 4, 5);
    EXPECT_EQ(span.GetDays(), 2);
    EXPECT_EQ(span.GetHours(), 3);
    EXPECT_EQ(span.GetMinutes(), 4);
    EXPECT_EQ(span.GetSeconds(), 5);
    EXPECT_EQ(span.Format("%D:%H:%M:%S%%"), "2:03:04:05%");
    EXPECT_EQ(span.Format("%#Dd %#Hh %#Mm %#Ss %#x %#"), "2d 3h 4m 5s %#x %#") << "'#' drops leading zeros";
    EXPECT_EQ(OleDateTimeSpan(0, 12, 0, 0).Format("%#H/%H"), "12/12");
    EXPECT_EQ(OleDateTimeSpan(0, 12, 30, 0).Format("%#H:%#M"), "12:30");
    EXPECT_EQ((-span).GetDays(), -2);
    EXPECT_EQ((-span).GetHours(), -3);
    OleDateTimeSpan invalid;
    invalid.SetStatus(OleDateTimeSpan::invalid);
    EXPECT_EQ(invalid.Format("%D"), "");
    EXPECT_EQ((span + invalid).GetStatus(), OleDateTimeSpan::invalid);
}

} // namespace
} // namespace vq

namespace vq {
namespace {

TEST(OleDateTimeParse, FormsAndTheirFaults) {
    struct {
        const char* text;
        bool ok;
        double value;
    } const cases[] = {
        {"3/15/2024 10:30", true, 45366.4375},
        {"15 Mar 2024", true, 45366},
        {"15 march 2024", true, 45366},
        {"2024-03-15", true, 45366},
        {"2024-03-15 6:00 PM", true, 45366.75},
        {"3/15/2024 12:00:30 AM", true, 45366 + 30.0 / 86400},
        {"  2024-03-15  ", true, 45366},
        {"18:00", true, 0.75},
        {"12:00 PM", true, 0.5},
        {"2/29/2023", false, 0},
        {"13/1/2024", false, 0},
        {"2024-03-15 24:00", false, 0},
        {"2024-03-15 13:00 PM", false, 0},
        {"3/15/2024 10:30x", false, 0},
        {"15 Mars 2024", false, 0},
        {"3/15", false, 0},
        {"12abc", false, 0},
        {"1e3", false, 0},
        {"", false, 0},
        {"10:61", false, 0},
        {"99999/1/1", false, 0},
    };
    for (const auto& c : cases) {
        OleDateTime date;
        EXPECT_EQ(date.ParseDateTime(c.text), c.ok) << c.text;
        if (c.ok)
            EXPECT_NEAR(date.Value(), c.value, 1e-9) << c.text;
        else
            EXPECT_EQ(date.GetStatus(), OleDateTime::invalid) << c.text;
    }
}

} // namespace
} // namespace vq
