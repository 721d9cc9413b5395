#pragma once

#include <cstdint>
#include <vector>

namespace vq {

// The event handler, standing in until events are built: it records what the application asks of
// it.
class CEventHandler {
public:
    struct AlarmValue {
        std::uint64_t serial;
        int value;
        bool crossing;
        bool operator==(const AlarmValue&) const = default;
    };

    void ArmAll() { ++m_ArmAllCalls; }
    // A report of an alarm or an active test for the event with the serial.
    void OnAlarmValue(std::uint64_t serial, int value, bool crossing) {
        m_Values.push_back({serial, value, crossing});
    }

    int m_ArmAllCalls = 0;
    std::vector<AlarmValue> m_Values;
};

} // namespace vq
