#pragma once

#include "monitor/AlarmThreshold.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace vq {

class MonitorActionArray;

// The thresholds of an alarm or of its reply, in order; each knows its position.
class AlarmThresholds {
public:
    AlarmThresholds() = default;
    AlarmThresholds(const AlarmThresholds&) = delete;
    AlarmThresholds& operator=(const AlarmThresholds&) = delete;

    // The threshold's index becomes its position.
    bool Add(std::unique_ptr<AlarmThreshold> threshold);
    AlarmThreshold* GetAt(std::size_t index) const { return m_Thresholds[index].get(); }
    std::size_t GetCount() const { return m_Thresholds.size(); }
    void RemoveAll() { m_Thresholds.clear(); }
    // Every threshold sees the value, in order; true when any fired.
    bool Update(double value);
    // The sum of the statistics' own values goes to every threshold; true when any fired.
    bool Evaluate(const MonitorActionArray& statistics);
    // Appends a copy of every threshold that fired in its last test.
    void CopyFired(const AlarmThresholds& thresholds);
    std::string Describe(uint32_t flags, int depth) const;

private:
    std::vector<std::unique_ptr<AlarmThreshold>> m_Thresholds;
};

} // namespace vq
