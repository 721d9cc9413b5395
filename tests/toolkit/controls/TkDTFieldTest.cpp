#include "DateTimeFixture.h"

#include <cstdio>

namespace vq::test {
namespace {

using C = TkDateTimeCtrl;

std::string Show(const OleDateTime& value) {
    TkDateTimeFields f;
    if (!TkDateTimeCtrl::BreakDateTime(value, f)) return "invalid";
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute,
                  f.second);
    return text;
}

// One gadget as a short word: a quoted literal, id/digits with z for leading zeros, or
// L<id>:<first name>..<last name>.
std::string Describe(const FieldCtrl& ctrl) {
    std::string out;
    for (std::size_t i = ctrl.GetFixedCount(); i < ctrl.GetGadgetCount(); ++i) {
        const TkDTGadget* g = ctrl.GetGadget(i);
        if (!out.empty()) out += ' ';
        if (auto* n = dynamic_cast<const TkDTNumericGadget*>(g)) {
            out += std::to_string(g->GetId()) + '/' + std::to_string(n->GetDigits()) + (n->HasLeadingZeros() ? "z" : "");
        } else if (auto* l = dynamic_cast<const TkDTListGadget*>(g)) {
            out += 'L' + std::to_string(g->GetId()) + ':' + l->GetNames().front() + ".." + l->GetNames().back();
        } else {
            out += '"' + g->GetText() + '"';
        }
    }
    return out;
}

TEST_F(DateTimeTest, FormatPicturesBecomeFieldAndLiteralGadgets) {
    const struct {
        const char* format;
        const char* gadgets;
    } cases[] = {
        {"HH:mm", "2/2z \":\" 4/2z"},
        {" HH:mm ", "\" \" 2/2z \":\" 4/2z \" \""},
        {" hh:mm tt ", "\" \" 1/2z \":\" 4/2z \" \" L16:AM..PM \" \""},
        {" ddd HH:mm", "\" \" L64:Sun..Sat \" \" 2/2z \":\" 4/2z"},
        {" dd HH:mm", "\" \" 32/2z \" \" 2/2z \":\" 4/2z"},
        {" MMM dd HH:mm", "\" \" L256:Jan..Dec \" \" 32/2z \" \" 2/2z \":\" 4/2z"},
        {"yyyy/M/D HH:mm", "1024/4 \"/\" 128/2 \"/D \" 2/2z \":\" 4/2z"},
        {"HH:mm:ss", "2/2z \":\" 4/2z \":\" 8/2z"},
        {"h:m:s t", "1/2 \":\" 4/2 \":\" 8/2 \" \" L16:A..P"},
        {"'at' HH", "\"at\" \" \" 2/2z"},
        {"\"hh\"''HH", "\"hh\" 2/2z"},
        {"hhh", "1/2z 1/2"},
        {"ddddd", "L64:Sunday..Saturday 32/2"},
        {"yy yyyyy MMMMM", "512/2z \" \" 1024/4 512/2 \" \" L256:January..December 128/2"},
        {"gg HH", "\" \" 2/2z"},
        {"HH 'open", "2/2z \" \" \"open\""},
        {"'", ""},
        {"", ""},
        {"yyyy年M月d日dddd", "1024/4 \"年\" 128/2 \"月\" 32/2 \"日\" L64:Sunday..Saturday"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        FieldCtrl ctrl;
        ctrl.Build(c.format);
        EXPECT_EQ(Describe(ctrl), c.gadgets);
    }
}

TEST_F(DateTimeTest, ReadOnlyFieldsCannotTakeTheFocus) {
    FieldCtrl ctrl;
    ctrl.SetReadOnlyFields(C::readOnlyMinute);
    ctrl.Build("HH:mm:ss");
    EXPECT_TRUE(ctrl.Gadget(C::idHour24).GetFlags() & TkDTGadget::takesFocus);
    EXPECT_FALSE(ctrl.Gadget(C::idMinute).GetFlags() & TkDTGadget::takesFocus);
    EXPECT_TRUE(ctrl.Gadget(C::idSecond).GetFlags() & TkDTGadget::takesFocus);
    ctrl.Focus(ctrl.IndexOf(C::idHour24));
    ASSERT_TRUE(ctrl.MoveToField(true));
    EXPECT_EQ(ctrl.GetCurrentIndex(), ctrl.IndexOf(C::idSecond)) << "the minute is passed over";
}

TEST_F(DateTimeTest, LocaleFormatsFollowTheUserLocaleAndTheCurrentFieldSettles) {
    FieldCtrl ctrl;
    ctrl.CreateFixedGadgets();
    ctrl.SetFormat(C::formatTime);
    ASSERT_LT(ctrl.IndexOf(C::idAmPm), ctrl.GetGadgetCount()) << Describe(ctrl);
    ctrl.Focus(ctrl.IndexOf(C::idMinute));
    const std::size_t minute = ctrl.GetCurrentIndex();
    ctrl.SetFormat(C::formatTime);
    EXPECT_EQ(ctrl.GetCurrentIndex(), minute) << "a rebuild keeps a field that can still be current";

    ctrl.Focus(ctrl.IndexOf(C::idAmPm));
    ASSERT_TRUE(SetUserDefaultLCID(0x0407));
    ctrl.SetFormat(C::formatTime);
    EXPECT_EQ(ctrl.IndexOf(C::idAmPm), ctrl.GetGadgetCount()) << Describe(ctrl);
    EXPECT_EQ(ctrl.GetCurrentIndex(), 0u) << "the first field, as the AM/PM index is gone";
    SetUserDefaultLCID(0x0409);

    ctrl.SetFormat(" HH:mm ");
    EXPECT_EQ(ctrl.GetCurrentIndex(), ctrl.IndexOf(C::idHour24)) << "a leading literal is passed over";
}

TEST_F(DateTimeTest, FieldEventsStepSetAndJumpWithinTheFieldRules) {
    const struct {
        const char* what;
        OleDateTime start;
        std::int32_t id;
        int event, value;
        BOOL result;
        OleDateTime end;
    } cases[] = {
        {"minute 58 spun up by 2 wraps to 0", {2024, 3, 10, 9, 58, 0}, C::idMinute, 3, 2, TRUE, {2024, 3, 10, 9, 0, 0}},
        {"minute 1 spun down by 2 wraps to 59", {2024, 3, 10, 9, 1, 0}, C::idMinute, 4, 2, TRUE, {2024, 3, 10, 9, 59, 0}},
        {"a spin of 5 steps a minute by 2", {2024, 3, 10, 9, 10, 0}, C::idMinute, 3, 5, TRUE, {2024, 3, 10, 9, 12, 0}},
        {"second 59 stepped up wraps", {2024, 3, 10, 9, 0, 59}, C::idSecond, 1, 0, TRUE, {2024, 3, 10, 9, 0, 0}},
        {"hour 0 stepped down wraps to 23", {2024, 3, 10, 0, 0, 0}, C::idHour24, 2, 0, TRUE, {2024, 3, 10, 23, 0, 0}},
        {"minute typed 60 is refused", {2024, 3, 10, 9, 0, 0}, C::idMinute, 7, 60, FALSE, {2024, 3, 10, 9, 0, 0}},
        {"hour End gives 23", {2024, 3, 10, 9, 0, 0}, C::idHour24, 9, 0, TRUE, {2024, 3, 10, 23, 0, 0}},
        {"month up from 31 January gives 29 February", {2024, 1, 31, 8, 0, 0}, C::idMonth, 1, 0, TRUE, {2024, 2, 29, 8, 0, 0}},
        {"month up in 2023 gives 28 February", {2023, 1, 31, 8, 0, 0}, C::idMonth, 3, 5, TRUE, {2023, 2, 28, 8, 0, 0}},
        {"month name December steps to January", {2024, 12, 5, 8, 0, 0}, C::idMonthName, 1, 0, TRUE, {2024, 1, 5, 8, 0, 0}},
        {"month name index 5 is June", {2024, 3, 5, 8, 0, 0}, C::idMonthName, 7, 5, TRUE, {2024, 6, 5, 8, 0, 0}},
        {"day up from 31 January gives 1 January", {2024, 1, 31, 8, 0, 0}, C::idDay, 1, 0, TRUE, {2024, 1, 1, 8, 0, 0}},
        {"day down from 1 April gives 30 April", {2024, 4, 1, 8, 0, 0}, C::idDay, 2, 0, TRUE, {2024, 4, 30, 8, 0, 0}},
        {"day End in February gives 29", {2024, 2, 3, 8, 0, 0}, C::idDay, 9, 0, TRUE, {2024, 2, 29, 8, 0, 0}},
        {"day 31 typed in April is refused", {2024, 4, 3, 8, 0, 0}, C::idDay, 7, 31, FALSE, {2024, 4, 3, 8, 0, 0}},
        {"weekday Friday from Sunday 10 March", {2024, 3, 10, 8, 0, 0}, C::idWeekday, 7, 5, TRUE, {2024, 3, 15, 8, 0, 0}},
        {"weekday Home goes back to Sunday", {2024, 3, 14, 8, 0, 0}, C::idWeekday, 8, 0, TRUE, {2024, 3, 10, 8, 0, 0}},
        {"weekday End crosses into April", {2024, 3, 31, 8, 0, 0}, C::idWeekday, 9, 0, TRUE, {2024, 4, 6, 8, 0, 0}},
        {"two-digit year 30 gives 2030", {2024, 3, 10, 8, 0, 0}, C::idYear2, 7, 30, TRUE, {2030, 3, 10, 8, 0, 0}},
        {"two-digit year 80 gives 1980", {2024, 3, 10, 8, 0, 0}, C::idYear2, 7, 80, TRUE, {1980, 3, 10, 8, 0, 0}},
        {"two-digit year 74 gives 2074", {2024, 3, 10, 8, 0, 0}, C::idYear2, 7, 74, TRUE, {2074, 3, 10, 8, 0, 0}},
        {"two-digit year 75 gives 1975", {2024, 3, 10, 8, 0, 0}, C::idYear2, 7, 75, TRUE, {1975, 3, 10, 8, 0, 0}},
        {"29 February to a year without it", {2024, 2, 29, 8, 0, 0}, C::idYear4, 1, 0, TRUE, {2025, 2, 28, 8, 0, 0}},
        {"a year spin is not capped", {2024, 3, 10, 8, 0, 0}, C::idYear4, 3, 5, TRUE, {2029, 3, 10, 8, 0, 0}},
        {"year 99 typed in four digits is refused", {2024, 3, 10, 8, 0, 0}, C::idYear4, 7, 99, FALSE, {2024, 3, 10, 8, 0, 0}},
        {"year End gives the current year", {1990, 3, 10, 8, 0, 0}, C::idYear4, 9, 0, TRUE, {2024, 3, 10, 8, 0, 0}},
        {"year Home gives 100 from February", {2024, 2, 10, 8, 0, 0}, C::idYear4, 8, 0, TRUE, {100, 2, 10, 8, 0, 0}},
        {"year Home is refused in January", {2024, 1, 10, 8, 0, 0}, C::idYear4, 8, 0, FALSE, {2024, 1, 10, 8, 0, 0}},
        {"AM/PM up from 9:00 gives 21:00", {2024, 3, 10, 9, 0, 0}, C::idAmPm, 1, 0, TRUE, {2024, 3, 10, 21, 0, 0}},
        {"AM/PM set to AM from 21:00", {2024, 3, 10, 21, 0, 0}, C::idAmPm, 7, 0, TRUE, {2024, 3, 10, 9, 0, 0}},
        {"AM/PM End from 9:00 gives 21:00", {2024, 3, 10, 9, 0, 0}, C::idAmPm, 9, 0, TRUE, {2024, 3, 10, 21, 0, 0}},
        {"12 typed while PM keeps noon", {2024, 3, 10, 15, 20, 0}, C::idHour12, 7, 12, TRUE, {2024, 3, 10, 12, 20, 0}},
        {"12 typed while AM gives midnight", {2024, 3, 10, 9, 20, 0}, C::idHour12, 7, 12, TRUE, {2024, 3, 10, 0, 20, 0}},
        {"3 typed while PM gives 15", {2024, 3, 10, 14, 20, 0}, C::idHour12, 7, 3, TRUE, {2024, 3, 10, 15, 20, 0}},
        {"13 typed in 12 hours is refused", {2024, 3, 10, 14, 20, 0}, C::idHour12, 7, 13, FALSE, {2024, 3, 10, 14, 20, 0}},
        {"an unknown id is refused", {2024, 3, 10, 14, 20, 0}, 0x2000, 1, 0, FALSE, {2024, 3, 10, 14, 20, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FieldCtrl ctrl;
        ctrl.Build("yy yyyy MM MMM dd ddd hh HH tt mm ss");
        ASSERT_TRUE(ctrl.SetDateTime(c.start));
        EXPECT_EQ(ctrl.OnGadgetEvent(c.event, c.id, c.value), c.result);
        EXPECT_EQ(Show(ctrl.GetDateTime()), Show(c.end));
        EXPECT_EQ(ctrl.changed, c.result && c.event != 6 ? 1 : 0);
    }
}

TEST_F(DateTimeTest, AskingWhetherAValueMaySetChangesNothing) {
    FieldCtrl ctrl;
    ctrl.Build("HH:mm");
    ASSERT_TRUE(ctrl.SetDateTime({2024, 3, 10, 9, 0, 0}));
    EXPECT_TRUE(ctrl.OnGadgetEvent(C::eventMaySet, C::idMinute, 45));
    EXPECT_FALSE(ctrl.OnGadgetEvent(C::eventMaySet, C::idMinute, 61));
    EXPECT_EQ(Show(ctrl.GetDateTime()), Show(OleDateTime(2024, 3, 10, 9, 0, 0)));
    EXPECT_EQ(ctrl.changed, 0);
}

TEST_F(DateTimeTest, TheRangeRefusesASteppedMinuteAndEndLandsOnTheBound) {
    FieldCtrl ctrl;
    ctrl.Build("HH:mm");
    ASSERT_TRUE(ctrl.SetDateTime({2024, 3, 10, 14, 0, 0}));
    ASSERT_TRUE(ctrl.SetDateTimeRange({1998, 1, 1, 0, 0, 0}, {2024, 3, 10, 14, 30, 0}, C::rangeDateTime));
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(ctrl.OnGadgetEvent(C::eventUp, C::idMinute, 0));
    EXPECT_FALSE(ctrl.OnGadgetEvent(C::eventUp, C::idMinute, 0)) << "14:31 lies beyond the maximum";
    EXPECT_EQ(ctrl.Text(), "14:30");
    ASSERT_TRUE(ctrl.OnGadgetEvent(C::eventFirst, C::idMinute, 0));
    EXPECT_EQ(ctrl.Text(), "14:00");
    EXPECT_TRUE(ctrl.OnGadgetEvent(C::eventLast, C::idMinute, 0));
    EXPECT_EQ(ctrl.Text(), "14:30");
}

TEST_F(DateTimeTest, CenturyRulesFollowTheStyle) {
    FieldCtrl ctrl;
    ctrl.Build("dd/MM/yy");
    ASSERT_TRUE(ctrl.SetDateTime({1950, 3, 10, 0, 0, 0}));
    ASSERT_TRUE(ctrl.OnGadgetEvent(C::eventSet, C::idYear2, 80));
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 1980) << "default: around the system year 2024";
    ctrl.style = C::styleOwnYearWindow;
    ASSERT_TRUE(ctrl.SetDateTime({1950, 3, 10, 0, 0, 0}));
    ASSERT_TRUE(ctrl.OnGadgetEvent(C::eventSet, C::idYear2, 2));
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 1902) << "around the field's own 1950";
    ctrl.style = C::styleKeepCentury;
    ASSERT_TRUE(ctrl.SetDateTime({1950, 3, 10, 0, 0, 0}));
    ASSERT_TRUE(ctrl.OnGadgetEvent(C::eventSet, C::idYear2, 99));
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 1999) << "the field's century is kept";
}

TEST_F(DateTimeTest, APendingEntryFillsFieldByFieldAndCompletesOnDecember1899) {
    FieldCtrl ctrl;
    ctrl.Build("HH:mm");
    ctrl.SetNull();
    EXPECT_TRUE(ctrl.Gadget(C::idHour24).GetFlags() & TkDTGadget::unset);
    ASSERT_TRUE(ctrl.OnGadgetEvent(C::eventSet, C::idHour24, 14));
    EXPECT_TRUE(ctrl.IsPending());
    EXPECT_FALSE(ctrl.Gadget(C::idHour24).GetFlags() & TkDTGadget::unset);
    EXPECT_TRUE(ctrl.Gadget(C::idMinute).GetFlags() & TkDTGadget::unset);
    EXPECT_EQ(ctrl.changed, 0);
    ASSERT_TRUE(ctrl.OnGadgetEvent(C::eventSet, C::idMinute, 30));
    EXPECT_FALSE(ctrl.IsPending());
    EXPECT_EQ(Show(ctrl.GetDateTime()), Show(OleDateTime(1899, 12, 1, 14, 30, 0)));
    EXPECT_EQ(ctrl.changed, 1);
    EXPECT_EQ(ctrl.Text(), "14:30");
}

TEST_F(DateTimeTest, APendingEntryStepsMissingFieldsFromTheLocalClock) {
    FieldCtrl ctrl;
    ctrl.Build("dd MMM yyyy HH");
    ctrl.SetNull();
    ASSERT_TRUE(ctrl.OnGadgetEvent(C::eventUp, C::idDay, 0));
    ASSERT_TRUE(ctrl.OnGadgetEvent(C::eventUp, C::idMonthName, 0));
    ASSERT_TRUE(ctrl.OnGadgetEvent(C::eventDown, C::idHour24, 0));
    // The clock says 15 March 2024 12:00.
    EXPECT_EQ(ctrl.Gadget(C::idDay).GetValue(), 15);
    EXPECT_EQ(ctrl.Gadget(C::idMonthName).GetValue(), 2);
    EXPECT_EQ(ctrl.Gadget(C::idHour24).GetValue(), 12);
    EXPECT_TRUE(ctrl.Gadget(C::idYear4).GetFlags() & TkDTGadget::unset);
    EXPECT_FALSE(ctrl.OnGadgetEvent(C::eventSet, C::idYear4, 50)) << "below the minimum's year";
    ASSERT_TRUE(ctrl.OnGadgetEvent(C::eventUp, C::idYear4, 0));
    EXPECT_FALSE(ctrl.IsPending());
    // The step that completes the entry is applied once more to the completed value.
    EXPECT_EQ(Show(ctrl.GetDateTime()), Show(OleDateTime(2025, 3, 15, 12, 0, 0)));
    EXPECT_EQ(ctrl.changed, 2);
}

} // namespace
} // namespace vq::test
