#include "platform/time/OleDateTimeSpan.h"

#include "platform/time/TimeFormat.h"

#include <cmath>

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
    if (m_Status != valid) return {};
    return FormatSpanFields(format, GetDays(), GetHours(), GetMinutes(), GetSeconds());
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
