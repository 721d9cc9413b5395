#pragma once

#include "runtime/MemberDescription.h"

#include <cstdint>
#include <limits>

namespace vq {

enum LimitMode : int32_t { MODE_UNSET = 0, MODE_RISING = 1, MODE_FALLING = 2, MODE_CROSSING = 3 };
enum LimitState : int32_t { LIMIT_NONE = 0, LIMIT_ROSE = 1, LIMIT_FELL = 2 };

inline constexpr double kLimitNotSet = std::numeric_limits<double>::lowest();

// One limit of a threshold and what its last test found.
struct ThresholdLimit {
    double m_Value = kLimitNotSet;
    int32_t m_Mode = MODE_UNSET;
    int32_t m_State = LIMIT_NONE;
    int32_t m_PreviousState = LIMIT_NONE;
    uint8_t m_Fired = 0;

    void Set(double value, int32_t mode);
    bool IsSet() const { return m_Value != kLimitNotSet; }
    // Reaching the limit counts as crossing it; staying on it keeps the state.
    bool Test(double current, double previous);

private:
    bool TestRising(double current, double previous, int32_t before);
    bool TestFalling(double current, double previous, int32_t before);
};

// A value watched against two limits; only when the first did not fire is the second tested.
class AlarmThreshold : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(AlarmThreshold)

public:
    // A mode of 0 on a set value takes the default: rising for the first limit; for the second,
    // crossing after a crossing first limit, otherwise falling.
    AlarmThreshold(double risingValue, int32_t risingMode, double fallingValue, int32_t fallingMode);
    AlarmThreshold(const AlarmThreshold& other);
    AlarmThreshold& operator=(const AlarmThreshold&) = delete;

    void Assign(const AlarmThreshold& other);
    void SetIndex(int32_t index) { m_Index = index; }
    // True when a limit fired.
    bool Update(double value);
    bool Fired() const { return m_RisingLimit.m_Fired || m_FallingLimit.m_Fired; }

    static int32_t DefaultRisingMode(double value, int32_t mode);
    static int32_t DefaultFallingMode(int32_t firstMode, double value, int32_t mode);

    int32_t m_Index = -1;
    double m_CurrentValue = 0.0;
    double m_PreviousValue = 0.0;
    ThresholdLimit m_RisingLimit;
    ThresholdLimit m_FallingLimit;

protected:
    MemberTable DescribedMembers() const override;
};

} // namespace vq
