#pragma once

#include "monitor/AlarmThreshold.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace vq {

class MonitorActionArray;

// The thresholds of an alarm or of its reply, in order; each knows its position.
class AlarmThresholds : public DescribableCollection {
    VQ_DECLARE_RUNTIME_CLASS(AlarmThresholds)

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

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }
    std::size_t DescribedCount() const override { return m_Thresholds.size(); }
    const Describable& DescribedElement(std::size_t index) const override { return *m_Thresholds[index]; }

private:
    std::vector<std::unique_ptr<AlarmThreshold>> m_Thresholds;
};

} // namespace vq
