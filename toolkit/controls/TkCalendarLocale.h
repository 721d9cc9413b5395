#pragma once

#include "platform/gui/Locale.h"

#include <string>

namespace vq {

// The one locale whose names the calendar and the date/time control show. It is the user's
// default until set, read on first use rather than during static initialisation, since no Qt
// exists before main.
void SetCalendarLocale(LCID locale);
LCID GetCalendarLocale();

// The name of a weekday (1 = Sunday to 7 = Saturday) or month (1 to 12), full or abbreviated.
// FALSE, with `name` unchanged, when the locale cannot give it.
BOOL GetDayName(std::string& name, int weekday, BOOL full);
BOOL GetMonthName(std::string& name, int month, BOOL full);

} // namespace vq
