#include "platform/time/OleDateTimeSpan.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vq {

namespace {

OleDateTimeSpan::Status Combined(OleDateTimeSpan::Status a, OleDateTimeSpan::Status b) {
    if (a == OleDateTimeSpan::invalid || b == OleDateTimeSpan::invalid) return OleDateTimeSpan::invalid;
    if (a == OleDateTimeSpan::null || b == OleDateTimeSpan::null) return OleDateTimeSpan::null;
    return OleDateTimeSpan::valid;
}

} // namespace

OleDateTimeSpan::OleDateTimeSpan(int64_t days, int hours, int minutes, int seconds)
    : m_Span(double(days) + (hours * 3600.0 + minutes * 60.0 + seconds) / 86'400.0) {}

int64_t OleDateTimeSpan::RoundedSeconds() const {
    return int64_t(std::llround(m_Span * 86'400.0));
}

int64_t OleDateTimeSpan::GetDays() const {
    return RoundedSeconds() / 86'400;
}

int OleDateTimeSpan::GetHours() const {
    return int(RoundedSeconds() % 86'400 / 3600);
}

int OleDateTimeSpan::GetMinutes() const {
    return int(RoundedSeconds() % 3600 / 60);
}

int OleDateTimeSpan::GetSeconds() const {
    return int(RoundedSeconds() % 60);
}

std::string OleDateTimeSpan::Format(const char* format) const {
    std::string text;
    if (format == nullptr || m_Status != valid) return text;
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

OleDateTimeSpan OleDateTimeSpan::operator+(const OleDateTimeSpan& other) const {
    OleDateTimeSpan sum(m_Span + other.m_Span);
    sum.m_Status = Combined(m_Status, other.m_Status);
    return sum;
}

OleDateTimeSpan OleDateTimeSpan::operator-(const OleDateTimeSpan& other) const {
    return *this + -other;
}

OleDateTimeSpan OleDateTimeSpan::operator-() const {
    OleDateTimeSpan negated(-m_Span);
    negated.m_Status = m_Status;
    return negated;
}

} // namespace vq
