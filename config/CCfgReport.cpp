#include "config/CCfgReport.h"

#include "platform/time/SystemTime.h"

namespace vq {

namespace {

constexpr int kMinutesPerDay = 24 * 60;
constexpr int kDaysPerWeek = 7;

} // namespace

CCfgReport::CCfgReport() : m_Time(0.0) {}

int32_t CCfgReport::GetDay() {
    if (m_Day == 0) m_Day = 1;
    return m_Day - 1;
}

bool CCfgReport::IsDue() {
    const OleDateTime now = OleDateTime::GetCurrentTime();
    if (!IsDueAt(now)) {
        m_DueMinute = -1;
        return false;
    }
    const int64_t minute = DaysFromCivil(now.GetYear(), now.GetMonth(), now.GetDay()) * kMinutesPerDay +
                           now.GetHour() * 60 + now.GetMinute();
    if (minute == m_DueMinute) return false;
    m_DueMinute = minute;
    return true;
}

// Repetitions count from the latest trigger at or before now in wall-clock minutes, so a daily
// repetition stays at the report's local time across a change of summer time.
bool CCfgReport::IsDueAt(const OleDateTime& now) const {
    const int weekday = now.GetDayOfWeek();
    const int reportHour = m_Time.GetHour();
    const int reportMinute = m_Time.GetMinute();
    if (weekday < 1 || reportHour < 0 || m_Day < 1 || m_Day > kDaysPerWeek) return false;

    const int nowMinuteOfDay = now.GetHour() * 60 + now.GetMinute();
    const int triggerMinuteOfDay = reportHour * 60 + reportMinute;
    int daysBack = (weekday - m_Day + kDaysPerWeek) % kDaysPerWeek;
    if (daysBack == 0 && nowMinuteOfDay < triggerMinuteOfDay) daysBack = kDaysPerWeek;
    const int sinceTrigger = daysBack * kMinutesPerDay + nowMinuteOfDay - triggerMinuteOfDay;
    if (sinceTrigger == 0) return true;
    if (m_Frequency <= 0) return false;

    int step;
    switch (m_FrequencyUnit) {
    case 0:
        step = 60;
        break;
    case 1:
        step = kMinutesPerDay;
        break;
    default:
        return false;
    }
    return sinceTrigger % (static_cast<int64_t>(m_Frequency) * step) == 0;
}

} // namespace vq
