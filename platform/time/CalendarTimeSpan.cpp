#include "platform/time/CalendarTimeSpan.h"

#include "platform/time/TimeFormat.h"

namespace vq {

std::string CalendarTimeSpan::Format(const char* format) const {
    return FormatSpanFields(format, GetDays(), GetHours(), GetMinutes(), GetSeconds());
}

} // namespace vq
