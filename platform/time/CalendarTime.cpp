#include "platform/time/CalendarTime.h"

#include "platform/time/Clock.h"
#include "platform/time/FileTime.h"
#include "platform/time/LocalTime.h"
#include "platform/time/TimeFormat.h"

namespace vq {

bool CalendarTime::FromLocal(const SystemTime& local, CalendarTime& out) {
    uint64_t checked;
    if (!SystemTimeToFileTime(local, checked)) return false;
    std::tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    int64_t seconds;
    if (!UnixSecondsFromLocal(fields, seconds)) return false;
    out.m_Seconds = seconds;
    return true;
}

CalendarTime CalendarTime::GetCurrentTime() {
    const int64_t sinceEpoch = int64_t(CurrentClock().FileTimeNow() - UnixEpochTicks);
    int64_t seconds = sinceEpoch / int64_t(TicksPerSecond);
    if (sinceEpoch % int64_t(TicksPerSecond) < 0) --seconds;
    return CalendarTime(seconds);
}

bool CalendarTime::GetAsSystemTime(SystemTime& local) const {
    std::tm fields{};
    if (!LocalFromUnixSeconds(m_Seconds, fields) || fields.tm_year + 1900 < 0 ||
        fields.tm_year + 1900 > 65535)
        return false;
    local = SystemTime{uint16_t(fields.tm_year + 1900), uint16_t(fields.tm_mon + 1),
                       uint16_t(fields.tm_wday),        uint16_t(fields.tm_mday),
                       uint16_t(fields.tm_hour),        uint16_t(fields.tm_min),
                       uint16_t(fields.tm_sec),         0};
    return true;
}

std::string CalendarTime::Format(const char* format) const {
    std::tm fields{};
    if (!LocalFromUnixSeconds(m_Seconds, fields)) return {};
    return FormatTimeFields(format, fields);
}

} // namespace vq
