#include "monitor/AlarmThreshold.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(AlarmThreshold, Describable)

namespace {

std::string FormatIndex(const Object& object, uint32_t, int) {
    return FormatMember(static_cast<const AlarmThreshold&>(object).m_Index, "%d");
}

std::string FormatCurrent(const Object& object, uint32_t, int) {
    return FormatMember(static_cast<const AlarmThreshold&>(object).m_CurrentValue, "%g");
}

std::string FormatPrevious(const Object& object, uint32_t, int) {
    return FormatMember(static_cast<const AlarmThreshold&>(object).m_PreviousValue, "%g");
}

} // namespace

void ThresholdLimit::Set(double value, int32_t mode) {
    m_Value = value;
    m_Mode = mode;
    m_State = LIMIT_NONE;
    m_PreviousState = LIMIT_NONE;
    m_Fired = 0;
}

bool ThresholdLimit::Test(double current, double previous) {
    const int32_t before = m_State;
    m_PreviousState = before;
    switch (m_Mode) {
    case MODE_RISING:
        return TestRising(current, previous, before);
    case MODE_FALLING:
        return TestFalling(current, previous, before);
    case MODE_CROSSING:
        return TestRising(current, previous, before) || TestFalling(current, previous, before);
    default:
        return false;
    }
}

bool ThresholdLimit::TestRising(double c, double p, int32_t before) {
    m_Fired = 0;
    m_State = LIMIT_NONE;
    const double t = m_Value;
    const bool fires = (c > t && (p < t || (p == t && before == LIMIT_FELL))) || (c == t && p < t);
    if (c == t && p == t) m_State = before;
    if (fires) {
        m_Fired = 1;
        m_State = LIMIT_ROSE;
    }
    return fires;
}

bool ThresholdLimit::TestFalling(double c, double p, int32_t before) {
    m_Fired = 0;
    m_State = LIMIT_NONE;
    const double t = m_Value;
    const bool fires = (c < t && (p > t || (p == t && before == LIMIT_ROSE))) || (c == t && p > t);
    if (c == t && p == t) m_State = before;
    if (fires) {
        m_Fired = 1;
        m_State = LIMIT_FELL;
    }
    return fires;
}

AlarmThreshold::AlarmThreshold(double risingValue, int32_t risingMode, double fallingValue,
                               int32_t fallingMode) {
    m_RisingLimit.Set(risingValue, DefaultRisingMode(risingValue, risingMode));
    m_FallingLimit.Set(fallingValue, DefaultFallingMode(m_RisingLimit.m_Mode, fallingValue, fallingMode));
}

AlarmThreshold::AlarmThreshold(const AlarmThreshold& other) : Describable() {
    Assign(other);
}

void AlarmThreshold::Assign(const AlarmThreshold& other) {
    m_Index = other.m_Index;
    m_CurrentValue = other.m_CurrentValue;
    m_PreviousValue = other.m_PreviousValue;
    m_RisingLimit = other.m_RisingLimit;
    m_FallingLimit = other.m_FallingLimit;
}

bool AlarmThreshold::Update(double value) {
    m_PreviousValue = m_CurrentValue;
    m_CurrentValue = value;
    return m_RisingLimit.Test(value, m_PreviousValue) || m_FallingLimit.Test(value, m_PreviousValue);
}

int32_t AlarmThreshold::DefaultRisingMode(double value, int32_t mode) {
    return value == kLimitNotSet || mode != MODE_UNSET ? mode : MODE_RISING;
}

int32_t AlarmThreshold::DefaultFallingMode(int32_t firstMode, double value, int32_t mode) {
    if (value == kLimitNotSet || mode != MODE_UNSET) return mode;
    return firstMode == MODE_CROSSING ? MODE_CROSSING : MODE_FALLING;
}

MemberTable AlarmThreshold::DescribedMembers() const {
    static constexpr MemberRow rows[] = {
        {"m_Index", "Index", 6, &FormatIndex},
        {"m_CurrentValue", "Current", 8, &FormatCurrent},
        {"m_PreviousValue", "Previous", 8, &FormatPrevious},
    };
    return {Class(), rows};
}

} // namespace vq
