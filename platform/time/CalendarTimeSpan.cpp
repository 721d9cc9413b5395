#include "platform/time/CalendarTimeSpan.h"

#include <cstdio>
#include <cstdlib>

namespace vq {

std::string CalendarTimeSpan::Format(const char* format) const {
    std::string text;
    if (format == nullptr) return text;
    char number[32];
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%' || p[1] == '\0') {
            text += *p;
            continue;
        }
        switch (*++p) {
        case 'D':
            std::snprintf(number, sizeof number, "%lld", static_cast<long long>(GetDays()));
            break;
        case 'H':
            std::snprintf(number, sizeof number, "%02d", std::abs(GetHours()));
            break;
        case 'M':
            std::snprintf(number, sizeof number, "%02d", std::abs(GetMinutes()));
            break;
        case 'S':
            std::snprintf(number, sizeof number, "%02d", std::abs(GetSeconds()));
            break;
        case '%':
            std::snprintf(number, sizeof number, "%%");
            break;
        default:
            std::snprintf(number, sizeof number, "%%%c", *p);
            break;
        }
        text += number;
    }
    return text;
}

} // namespace vq
