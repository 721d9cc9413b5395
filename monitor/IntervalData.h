#pragma once

#include "monitor/DataRoot.h"
#include "monitor/IntervalSummary.h"
#include "runtime/TimeSpan.h"

namespace vq {

class MonitorAction;

// The traffic of one interval of the ring, or of one update step, with the summary cache of the
// interval.
class IntervalData : public DataRoot {
public:
    IntervalData(const TimeSpan& length, const TrafficStoreFactory& factory);

    // Counts zeroed, cached summaries zeroed and kept.
    void ResetClear() override;
    // Counts and cached summaries dropped.
    void RestartClear() override;

    // A new cache entry for a summary action, filled at once from every conversation of the
    // interval whose tuple the action watches.
    IntervalSummary& AddSummary(const MonitorAction& action, const SummaryStatistic& parameters);
    bool RemoveSummary(const MonitorAction& action) { return m_Summaries.Remove(action); }
    // Zeroed entries for the actions of the other interval's cache.
    void TakeOverSummaries(const IntervalData& other) { m_Summaries.TakeOver(other.m_Summaries); }
    // The other interval's traffic, imported into the live model, and its length.
    void Import(const IntervalData& other, Environment& live) {
        DataRoot::Import(other, live);
        m_Length = other.m_Length;
    }

    const TimeSpan& GetLength() const { return m_Length; }
    IntervalSummarySet& GetSummaries() { return m_Summaries; }
    const IntervalSummarySet& GetSummaries() const { return m_Summaries; }

private:
    TimeSpan m_Length;
    IntervalSummarySet m_Summaries;
};

} // namespace vq
