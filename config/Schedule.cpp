#include "config/Schedule.h"

#include "config/ConfigTexts.h"

#include <algorithm>

namespace vq {

namespace {

// Keeps a length that is a whole number of units in days from truncating one unit short.
constexpr double kRoundingGuard = 5.787037037037037e-6;

struct KindText {
    int year;
    ConfigTextId prefix;
    ConfigTextId pattern;
};

constexpr KindText kKindTexts[] = {
    {kSchedulePeriod, IDS_SCHEDULE_EVERY, IDS_SCHEDULE_FORMAT_EVERY},
    {kScheduleOff, IDS_SCHEDULE_EVERY, IDS_SCHEDULE_FORMAT_EVERY},
    {kScheduleDaily, IDS_SCHEDULE_DAILY, IDS_SCHEDULE_FORMAT_DAILY},
    {kScheduleWeekly, IDS_SCHEDULE_WEEKLY, IDS_SCHEDULE_FORMAT_WEEKLY},
    {kScheduleMonthly, IDS_SCHEDULE_MONTHLY, IDS_SCHEDULE_FORMAT_MONTHLY},
    {kScheduleAnnually, IDS_SCHEDULE_ANNUALLY, IDS_SCHEDULE_FORMAT_ANNUALLY},
};

bool IsPeriod(const OleDateTime& value) {
    return value.GetYear() == kSchedulePeriod;
}

// Whole seconds of a period, before the minimum of one second.
int64_t PeriodSeconds(const OleDateTime& value) {
    const double days = (value - ScheduleStart(kSchedulePeriod)).GetTotalDays();
    return static_cast<int64_t>(days * 86400.0 + kRoundingGuard);
}

} // namespace

OleDateTime ScheduleStart(int year) {
    return OleDateTime(year, 1, 1, 0, 0, 0);
}

std::string FormatSchedule(const OleDateTime& value) {
    const int year = value.GetYear();
    for (const auto& kind : kKindTexts)
        if (kind.year == year)
            return ConfigText(kind.prefix) + value.Format(ConfigText(kind.pattern).c_str());
    return "????";
}

void SetScheduleKind(int kind, OleDateTime& value) {
    switch (kind) {
    case 1:
        value = ScheduleStart(kScheduleDaily);
        break;
    case 2:
        value = ScheduleStart(kScheduleWeekly);
        break;
    case 3:
        value = ScheduleStart(kScheduleMonthly);
        break;
    case 4:
        value = ScheduleStart(kScheduleAnnually);
        break;
    case 10:
        value = ScheduleStart(kScheduleOff);
        break;
    case 5:
        break;
    default:
        value = ScheduleStart(kSchedulePeriod);
        break;
    }
}

bool ScheduleHasTime(const OleDateTime& value) {
    const int year = value.GetYear();
    if (year < kSchedulePeriod || year > kScheduleAnnually) return false;
    const double days = (value - ScheduleStart(year)).GetTotalDays();
    return static_cast<int64_t>(days * 1440.0 + kRoundingGuard) > 0;
}

double ScheduleDurationSeconds(const OleDateTime& value) {
    const int64_t seconds = PeriodSeconds(value);
    return static_cast<double>(seconds < 1 ? 1 : seconds);
}

void ScheduleStartCountdown(const OleDateTime& value, ScheduleCountdown& countdown) {
    countdown.value = value;
    countdown.remainingSeconds = IsPeriod(value) ? std::max<int64_t>(PeriodSeconds(value), 0) : 0;
}

bool ScheduleCountdownTick(ScheduleCountdown& countdown) {
    if (!IsPeriod(countdown.value)) return false;
    countdown.remainingSeconds -= 60;
    if (countdown.remainingSeconds > 0) return false;
    ScheduleStartCountdown(countdown.value, countdown);
    return true;
}

} // namespace vq
