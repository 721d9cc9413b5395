#include "toolkit/controls/TkCalendarLocale.h"

#include <optional>

namespace vq {

namespace {

// At most this many characters of a name are read.
constexpr int maxName = 256;

std::optional<LCID>& CalendarLocale() {
    static std::optional<LCID> locale;
    return locale;
}

BOOL ReadName(std::string& name, UINT type) {
    char buffer[maxName * 4 + 1];
    const int n = GetLocaleInfo(GetCalendarLocale(), type, buffer, int(sizeof buffer));
    if (n <= 0) return FALSE;
    name.assign(buffer, std::size_t(n - 1));
    return TRUE;
}

} // namespace

void SetCalendarLocale(LCID locale) {
    CalendarLocale() = locale;
}

LCID GetCalendarLocale() {
    auto& locale = CalendarLocale();
    if (!locale) locale = GetUserDefaultLCID();
    return *locale;
}

BOOL GetDayName(std::string& name, int weekday, BOOL full) {
    if (weekday < 1 || weekday > 7) return FALSE;
    // The locale counts from Monday; Sunday is its seventh day.
    const UINT n = weekday == 1 ? 6 : UINT(weekday - 2);
    return ReadName(name, (full ? LOCALE_SDAYNAME1 : LOCALE_SABBREVDAYNAME1) + n);
}

BOOL GetMonthName(std::string& name, int month, BOOL full) {
    if (month < 1 || month > 12) return FALSE;
    return ReadName(name, (full ? LOCALE_SMONTHNAME1 : LOCALE_SABBREVMONTHNAME1) + UINT(month - 1));
}

} // namespace vq
