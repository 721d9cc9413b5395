#pragma once

#include "monitor/MonitorDataStatistic.h"
#include "runtime/MemberDescription.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace vq {

class MonitorAction;

// What one summary action (or sub-action) counted in one interval of the live ring. The action
// subtracts it from its periods when the interval leaves their windows.
class IntervalSummary : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(IntervalSummary)

public:
    // Zero counters with the evaluation given.
    IntervalSummary(const MonitorAction* action, const SummaryStatistic& parameters);
    IntervalSummary(const IntervalSummary& other) = default;
    IntervalSummary& operator=(const IntervalSummary&) = delete;

    const MonitorAction* GetAction() const { return m_Action; }
    SummaryStatistic& GetStatistic() { return m_Statistic; }
    const SummaryStatistic& GetStatistic() const { return m_Statistic; }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    // The key of the entry, never followed.
    const MonitorAction* m_Action;
    SummaryStatistic m_Statistic;
};

// The summary cache of one interval: one entry per installed summary action, in the order they
// were added. The entries keep their addresses while they live.
class IntervalSummarySet : public DescribableCollection {
    VQ_DECLARE_RUNTIME_CLASS(IntervalSummarySet)

public:
    IntervalSummarySet() = default;
    IntervalSummarySet(const IntervalSummarySet& other);
    IntervalSummarySet& operator=(const IntervalSummarySet&) = delete;

    IntervalSummary& Add(std::unique_ptr<IntervalSummary> entry);
    // A merged action's first entry; for a discrete one the first entry of its sub-actions in their
    // order. Null when there is none.
    IntervalSummary* Find(const MonitorAction& action) const;
    // The first entry keyed by exactly this action, or null.
    IntervalSummary* FindOwn(const MonitorAction* action) const;
    // A merged action's first entry; for a discrete one every sub-action's. True when each had one.
    bool Remove(const MonitorAction& action);
    // Appends a zeroed copy of each of the other's entries. Out of memory empties this set and goes
    // on to the caller.
    void TakeOver(const IntervalSummarySet& other);
    // Counters to zero, entries kept.
    void ResetAll();
    void DeleteAll() { m_Entries.clear(); }

    std::size_t GetCount() const { return m_Entries.size(); }
    IntervalSummary& GetAt(std::size_t index) const { return *m_Entries[index]; }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }
    std::size_t DescribedCount() const override { return m_Entries.size(); }
    const Describable& DescribedElement(std::size_t index) const override { return *m_Entries[index]; }

private:
    bool RemoveOwn(const MonitorAction* action);

    std::vector<std::unique_ptr<IntervalSummary>> m_Entries;
};

} // namespace vq
