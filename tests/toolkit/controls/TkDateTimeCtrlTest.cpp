#include "toolkit/controls/TkDateTimeCtrl.h"

#include <gtest/gtest.h>
#include <vector>

namespace vq {
namespace {

OleDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return OleDateTime(y, mo, d, h, mi, s);
}

// A control that claims a window and a format, recording what it would refresh and report.
class WindowedDateTime : public TkDateTimeCtrl {
public:
    std::uint16_t present = fieldAll;
    bool refuseChange = false;
    std::vector<std::uint16_t> refreshed;
    int changed = 0;

    BOOL OnChanging(const OleDateTime&) override { return refuseChange ? FALSE : TRUE; }
    void OnChanged() override { ++changed; }

protected:
    bool HasWindow() const override { return true; }
    void RefreshGadgets(std::uint16_t fields) override { refreshed.push_back(fields); }
    std::uint16_t PresentFields() const override { return present; }
};

TEST(TkDateTimeCtrl, SettersAcceptFebruary100ToNovember9999) {
    const struct {
        OleDateTime value;
        BOOL accepted;
    } cases[] = {
        {At(100, 2, 1), TRUE},    {At(100, 1, 31), FALSE},   {At(9999, 11, 30, 23, 59, 59), TRUE},
        {At(9999, 12, 1), FALSE}, {OleDateTime(1e9), FALSE}, {At(2024, 3, 10, 14, 0, 0), TRUE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.Value());
        TkDateTimeCtrl ctrl;
        const OleDateTime before = ctrl.GetDateTime();
        EXPECT_EQ(ctrl.SetDateTime(c.value), c.accepted);
        EXPECT_TRUE(ctrl.GetDateTime() == (c.accepted ? c.value : before));
        EXPECT_EQ(ctrl.SetDate(c.value), c.accepted);
    }
}

TEST(TkDateTimeCtrl, FieldSplitRoundsToTheNearestSecondAndStopsAtTheDefaultBounds) {
    const struct {
        double value;
        bool broken;
        int year, month, day, hour, minute, second;
    } cases[] = {
        {At(2024, 3, 10, 12, 0, 59).Value() + 0.6 / 86400, true, 2024, 3, 10, 12, 1, 0},
        {At(2024, 3, 10, 12, 0, 59).Value() + 0.4 / 86400, true, 2024, 3, 10, 12, 0, 59},
        {At(2024, 3, 10, 23, 59, 59).Value() + 0.6 / 86400, true, 2024, 3, 11, 0, 0, 0},
        // Before 1899-12-30 the fraction still counts forward from midnight: rounding goes later.
        {-1.25 - 0.6 / 86400, true, 1899, 12, 29, 6, 0, 1},
        {-657434.0, true, 100, 1, 1, 0, 0, 0},
        {2958465.0, true, 9999, 12, 31, 0, 0, 0},
        {2958465.5, false, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        TkDateTimeFields f;
        ASSERT_EQ(TkDateTimeCtrl::BreakDateTime(OleDateTime(c.value), f), c.broken);
        if (!c.broken) continue;
        EXPECT_EQ(f.year, c.year);
        EXPECT_EQ(f.month, c.month);
        EXPECT_EQ(f.day, c.day);
        EXPECT_EQ(f.hour, c.hour);
        EXPECT_EQ(f.minute, c.minute);
        EXPECT_EQ(f.second, c.second);
    }
}

TEST(TkDateTimeCtrl, ValidationMovesAnOvershootOntoTheBoundOnlyWhenTheHigherFieldsMatch) {
    TkDateTimeCtrl ctrl;
    ASSERT_TRUE(ctrl.SetDateTime(At(2024, 3, 10, 14, 0, 0)));
    ASSERT_TRUE(
        ctrl.SetDateTimeRange(At(1998, 1, 1), At(2024, 3, 10, 14, 30, 0), TkDateTimeCtrl::rangeDateTime));
    const struct {
        OleDateTime edit;
        int level;
        BOOL accepted;
        OleDateTime result;
    } cases[] = {
        {At(2024, 3, 10, 14, 59, 0), 2, TRUE, At(2024, 3, 10, 14, 30, 0)},
        {At(2024, 3, 10, 14, 59, 0), 0, FALSE, At(2024, 3, 10, 14, 59, 0)},
        {At(2024, 3, 10, 15, 10, 0), 2, FALSE, At(2024, 3, 10, 15, 10, 0)},
        {At(2024, 3, 10, 15, 10, 0), 3, TRUE, At(2024, 3, 10, 14, 30, 0)},
        {At(2030, 6, 1, 9, 0, 0), -1, TRUE, At(2024, 3, 10, 14, 30, 0)},
        {At(1997, 12, 31, 23, 0, 0), 5, FALSE, At(1997, 12, 31, 23, 0, 0)},
        {At(2024, 7, 5, 23, 0, 0), 5, TRUE, At(2024, 3, 10, 14, 30, 0)},
        {At(2020, 1, 1), 0, TRUE, At(2020, 1, 1)},
        {At(9999, 12, 5), -1, FALSE, At(9999, 12, 5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit.Format("%Y-%m-%d %H:%M:%S") + " level " + std::to_string(c.level));
        OleDateTime value = c.edit;
        const BOOL accepted = ctrl.ValidateDateTime(value, c.level);
        EXPECT_EQ(accepted, c.accepted);
        // A refused edit is left as it was.
        EXPECT_EQ(value.Format("%F %T"), c.result.Format("%F %T"));
    }
}

TEST(TkDateTimeCtrl, RangeKindsCompareTheirProjection) {
    TkDateTimeCtrl ctrl;
    ASSERT_TRUE(ctrl.SetDateTime(At(2000, 1, 1, 10, 0, 0)));
    ASSERT_TRUE(
        ctrl.SetDateTimeRange(At(2020, 5, 5, 9, 0, 0), At(2030, 1, 1, 17, 0, 0), TkDateTimeCtrl::rangeTime));
    OleDateTime minimum, maximum;
    EXPECT_EQ(ctrl.GetDateTimeRange(minimum, maximum), TkDateTimeCtrl::rangeTime);
    EXPECT_EQ(minimum.Format("%F %T"), "1899-12-30 09:00:00");
    EXPECT_EQ(maximum.Format("%F %T"), "1899-12-30 17:00:00");
    EXPECT_TRUE(ctrl.IsInRange(At(2500, 7, 7, 12, 0, 0)));
    EXPECT_FALSE(ctrl.IsInRange(At(2000, 7, 7, 8, 59, 59)));
    EXPECT_TRUE(ctrl.GetDateTime() == At(2000, 1, 1, 10, 0, 0));

    ASSERT_TRUE(
        ctrl.SetDateTimeRange(At(2020, 5, 5, 9, 0, 0), At(2020, 5, 6, 8, 0, 0), TkDateTimeCtrl::rangeDate));
    EXPECT_EQ(ctrl.GetDateTimeRange(minimum, maximum), TkDateTimeCtrl::rangeDate);
    EXPECT_EQ(maximum.Format("%F %T"), "2020-05-06 00:00:00");
    EXPECT_TRUE(ctrl.IsInRange(At(2020, 5, 6, 23, 0, 0)));
    // The current value lay before the new range and was moved onto its minimum, window or not.
    EXPECT_EQ(ctrl.GetDateTime().Format("%F %T"), "2020-05-05 00:00:00");
}

TEST(TkDateTimeCtrl, RefusedRangesKeepTheOldBoundsAndKind) {
    // A check that refuses the current value stands for any override of the validation.
    class Refusing : public TkDateTimeCtrl {
    public:
        BOOL ValidateDateTime(OleDateTime&, int) const override { return FALSE; }
    };
    Refusing refusing;
    TkDateTimeCtrl plain;
    const OleDateTime min = At(2000, 1, 1), max = At(2001, 1, 1);
    ASSERT_TRUE(plain.SetDateTimeRange(min, max, TkDateTimeCtrl::rangeDateTime));
    const struct {
        TkDateTimeCtrl* ctrl;
        OleDateTime minimum, maximum;
        std::int32_t kind;
    } cases[] = {
        {&plain, At(2010, 1, 1), At(2005, 1, 1), TkDateTimeCtrl::rangeDateTime},
        {&plain, At(2010, 1, 1), OleDateTime(1e9), TkDateTimeCtrl::rangeDateTime},
        {&plain, At(2010, 1, 1), At(2011, 1, 1), 4},
        {&plain, At(2010, 1, 1), At(2011, 1, 1), -1},
        {&refusing, At(2010, 1, 1), At(2011, 1, 1), TkDateTimeCtrl::rangeDate},
    };
    for (const auto& c : cases) {
        OleDateTime oldMin, oldMax, gotMin, gotMax;
        const std::int32_t oldKind = c.ctrl->GetDateTimeRange(oldMin, oldMax);
        EXPECT_FALSE(c.ctrl->SetDateTimeRange(c.minimum, c.maximum, c.kind));
        EXPECT_EQ(c.ctrl->GetDateTimeRange(gotMin, gotMax), oldKind);
        EXPECT_TRUE(gotMin == oldMin);
        EXPECT_TRUE(gotMax == oldMax);
    }
}

TEST(TkDateTimeCtrl, PendingEntryCompletesOnceEveryShownFieldIsTyped) {
    WindowedDateTime ctrl;
    ctrl.present = TkDateTimeCtrl::fieldHour | TkDateTimeCtrl::fieldMinute;
    ctrl.SetNull('#');
    EXPECT_EQ(ctrl.GetDateTime().GetStatus(), OleDateTime::null);
    EXPECT_EQ(ctrl.GetPlaceholder(), '#');
    EXPECT_EQ(ctrl.GetPendingField(TkDateTimeCtrl::fieldHour), -1);
    EXPECT_EQ(ctrl.GetPendingField(TkDateTimeCtrl::fieldYear), 1899);

    ctrl.SetPendingField(TkDateTimeCtrl::fieldHour, 9);
    ctrl.CompletePendingEntry(true);
    EXPECT_TRUE(ctrl.IsPending());
    EXPECT_EQ(ctrl.changed, 0);
    ctrl.SetPendingField(TkDateTimeCtrl::fieldMinute, 41);
    ctrl.CompletePendingEntry(true);
    EXPECT_FALSE(ctrl.IsPending());
    EXPECT_EQ(ctrl.changed, 1);
    EXPECT_EQ(ctrl.GetDateTime().Format("%F %T"), "1899-12-01 09:41:00");

    // SetDate fills the date part of an entry and completes it without notification.
    ctrl.SetNull();
    ctrl.SetPendingField(TkDateTimeCtrl::fieldHour, 7);
    ctrl.SetPendingField(TkDateTimeCtrl::fieldMinute, 5);
    ctrl.refuseChange = true;
    ctrl.CompletePendingEntry(true);
    EXPECT_TRUE(ctrl.IsPending());
    EXPECT_TRUE(ctrl.SetDate(At(2024, 3, 10)));
    EXPECT_FALSE(ctrl.IsPending());
    EXPECT_EQ(ctrl.changed, 1);
    EXPECT_EQ(ctrl.GetDateTime().Format("%F %T"), "2024-03-10 07:05:00");
}

TEST(TkDateTimeCtrl, AnEntryOutsideTheRangeLeavesTheValueInvalidAndTheEntryOpen) {
    WindowedDateTime ctrl;
    ctrl.present = TkDateTimeCtrl::fieldAll;
    ASSERT_TRUE(ctrl.SetDateTimeRange(At(2000, 1, 1), At(2001, 1, 1), TkDateTimeCtrl::rangeDate));
    ctrl.SetNull();
    for (const auto& [field, value] : {std::pair{TkDateTimeCtrl::fieldYear, 2005},
                                       {TkDateTimeCtrl::fieldMonth, 2},
                                       {TkDateTimeCtrl::fieldDay, 3},
                                       {TkDateTimeCtrl::fieldHour, 4},
                                       {TkDateTimeCtrl::fieldMinute, 5},
                                       {TkDateTimeCtrl::fieldSecond, 6}})
        ctrl.SetPendingField(field, value);
    ctrl.CompletePendingEntry(true);
    EXPECT_TRUE(ctrl.IsPending());
    EXPECT_EQ(ctrl.GetDateTime().GetStatus(), OleDateTime::invalid);
    EXPECT_TRUE(ctrl.SetDateTime(At(2000, 6, 1)));
    EXPECT_FALSE(ctrl.IsPending());
    EXPECT_EQ(ctrl.changed, 0);
}

TEST(TkDateTimeCtrl, ApplyingAValueRefreshesTheGadgetsOfChangedFieldsOnly) {
    WindowedDateTime ctrl;
    ASSERT_TRUE(ctrl.SetDateTime(At(2024, 3, 10, 14, 0, 0)));
    ctrl.refreshed.clear();
    ASSERT_TRUE(ctrl.SetTime(At(1999, 1, 1, 15, 0, 0)));
    ASSERT_TRUE(ctrl.SetDate(At(2024, 4, 10)));
    const std::vector<std::uint16_t> expected{TkDateTimeCtrl::fieldHour,
                                              TkDateTimeCtrl::fieldMonth | TkDateTimeCtrl::fieldWeekday};
    EXPECT_EQ(ctrl.refreshed, expected);
    EXPECT_EQ(ctrl.GetDateTime().Format("%F %T"), "2024-04-10 15:00:00");
}

TEST(TkDateTimeCtrl, ModificationFlags) {
    TkDateTimeCtrl ctrl;
    EXPECT_FALSE(ctrl.IsModified());
    ctrl.SetModified(FALSE, TRUE);
    BOOL date = TRUE, time = FALSE;
    ctrl.GetModified(date, time);
    EXPECT_FALSE(date);
    EXPECT_TRUE(time);
    EXPECT_TRUE(ctrl.IsModified());
    ctrl.SetModified(FALSE);
    EXPECT_FALSE(ctrl.IsModified());
    EXPECT_FALSE(ctrl.IsEditing());
}

} // namespace
} // namespace vq
