#include "platform/time/LocalTime.h"

#include "platform/time/FileTime.h"
#include "platform/time/SystemTime.h"

#include <mutex>

namespace vq {

namespace {

void LoadZoneOnce() {
    // localtime_r need not read TZ itself; tzset is not thread-safe against the conversions, so
    // it runs once before the first one.
    static std::once_flag once;
    std::call_once(once, [] { tzset(); });
}

} // namespace

bool LocalFromUnixSeconds(int64_t seconds, std::tm& local) {
    LoadZoneOnce();
    const std::time_t t = std::time_t(seconds);
    return localtime_r(&t, &local) != nullptr;
}

bool UnixSecondsFromLocal(const std::tm& local, int64_t& seconds) {
    LoadZoneOnce();
    std::tm fields = local;
    fields.tm_isdst = -1;
    // mktime answers -1 both on failure and for one valid second; only failure leaves tm_wday alone.
    fields.tm_wday = -1;
    const std::time_t t = mktime(&fields);
    if (t == std::time_t(-1) && fields.tm_wday == -1) return false;
    seconds = int64_t(t);
    return true;
}

bool UtcToLocalFileTime(uint64_t utc, uint64_t& local) {
    if (utc >= FileTimeLimit) return false;
    const int64_t sinceEpoch = int64_t(utc) - int64_t(UnixEpochTicks);
    const int64_t ticksPerSecond = int64_t(TicksPerSecond);
    int64_t seconds = sinceEpoch / ticksPerSecond;
    if (sinceEpoch % ticksPerSecond < 0) --seconds;
    std::tm fields{};
    if (!LocalFromUnixSeconds(seconds, fields)) return false;
    int64_t shifted;
    if (__builtin_add_overflow(int64_t(utc), int64_t(fields.tm_gmtoff) * ticksPerSecond, &shifted) ||
        shifted < 0)
        return false;
    local = uint64_t(shifted);
    return true;
}

bool LocalToUtcFileTime(uint64_t local, uint64_t& utc) {
    SystemTime civil;
    if (!FileTimeToSystemTime(local, civil)) return false;
    std::tm fields{};
    fields.tm_year = civil.year - 1900;
    fields.tm_mon = civil.month - 1;
    fields.tm_mday = civil.day;
    fields.tm_hour = civil.hour;
    fields.tm_min = civil.minute;
    fields.tm_sec = civil.second;
    int64_t seconds;
    if (!UnixSecondsFromLocal(fields, seconds)) return false;
    int64_t whole, result;
    if (__builtin_mul_overflow(seconds, int64_t(TicksPerSecond), &whole) ||
        __builtin_add_overflow(whole, int64_t(UnixEpochTicks), &whole) ||
        __builtin_add_overflow(whole, int64_t(local % TicksPerSecond), &result) || whole < 0)
        return false;
    utc = uint64_t(result);
    return true;
}

} // namespace vq
