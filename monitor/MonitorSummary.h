#pragma once

#include "monitor/MonitorAction.h"
#include "monitor/MonitorData.h"
#include "monitor/RingGeometry.h"
#include "monitor/SummaryElement.h"
#include "runtime/TimeRange.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vq {

class DataSet;
class IntervalData;
class IntervalSummary;
class IntervalSummarySet;
class MonitorActionPool;

// Copies of a summary's elements, hosts included: one list of periods per element.
class MonitorSummaryReply : public MonitorDataReply {
    VQ_DECLARE_RUNTIME_CLASS(MonitorSummaryReply)

public:
    // Every element of the array; an empty array without one.
    MonitorSummaryReply(const void* identifier, const MonitorActionArray* elements, int32_t mode,
                        const TimeRange& range);
    // For a discrete action. Per sub-action its first element, or its template (items at zero)
    // while it has made none; a sub-action with neither gives nothing. Merged, one element: the
    // first of those, into which the others' items are added position by position. No array
    // without sub-actions.
    MonitorSummaryReply(const void* identifier, const MonitorAction::ActionSet& subActions, bool merge,
                        int32_t mode, const TimeRange& range);

    SummaryArray* GetArray() const { return m_Array.get(); }
    const Timestamp& GetTimeStamp() const { return m_TimeStamp; }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    Timestamp m_TimeStamp;
    std::unique_ptr<SummaryArray> m_Array;
};

// The traffic of a subject over several sliding periods at once (for example the last 5 minutes,
// hour and 8 hours), updated at the end of every interval of the live ring. A period is never
// recounted: at attachment it is built from the ring's per-interval cache, then every frame is
// added to it and the interval leaving its window is subtracted after each update.
class MonitorSummary : public MonitorAction {
    VQ_DECLARE_RUNTIME_CLASS(MonitorSummary)

public:
    // The ring's shape comes from the copy the requesting threads keep of the start answer.
    MonitorSummary(const void* identifier, int32_t source, int32_t scope, const TimeSpan& period,
                   uint32_t repetitions);
    MonitorSummary(const void* identifier, int32_t source, int32_t scope, const TimeSpan& period,
                   uint32_t repetitions, const RingGeometry& geometry);
    // The sub-action for one selection: no periods of its own, the parent's depth and ring shape.
    MonitorSummary(const MonitorSummary& parent, std::size_t selection);
    ~MonitorSummary() override;

    // Before the elements are built, once per period.
    void AddPeriod(const TimeSpan& span);
    std::unique_ptr<SummaryElement> NewElement() const;
    // One element for a single selection; with several, one sub-action per selection whose
    // replies are summed into one element.
    bool AddDefaultElement();
    // One element per selection.
    bool AddDiscreteElements();
    // Right after the ring advanced: the cache entries of the new current interval.
    void NewInterval(const IntervalSummarySet& cache);

    int32_t GetHistoryKind() const override { return 2; }
    // Leaves every interval's cache, then its pool, and goes.
    void Uninstall() override;
    void OnData(const FrameView& frame, const Conversation& item) override;
    SelectionValue GetSelectionValue(int32_t index) const override { return SelectionValueAt(index); }
    // Updates stay on the ring's interval ends whatever the action's own period.
    void NextPeriod() override { m_UpdateTime.Add(m_IntervalLength); }
    bool AttachDataSet(DataSet& dataSet) override;
    bool SendUpdate() override;
    void AfterUpdate() override;
    bool SendInitialize() override;
    std::unique_ptr<MonitorAction> Clone(std::size_t selection) const override;
    std::unique_ptr<MonitorActionElement>
    CreateElement(const MonitorActionElement& templateElement) const override;
    MonitorActionElement* CreateElementFor(const Tuple& tuple) override;
    // Drops the cache entries and the counts and attaches again.
    bool Reset(bool force) override;

    const SummaryList* GetPeriodList() const { return m_PeriodList.get(); }
    IntervalSummary* GetCurrentSummary() const { return m_CurrentSummary; }
    int32_t GetDepth() const { return m_Depth; }
    const TimeSpan& GetIntervalLength() const { return m_IntervalLength; }
    int32_t GetSlotCount() const { return m_SlotCount; }
    bool IsMergeReply() const { return m_MergeReply; }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    MonitorSummary& Sub(std::size_t index) const {
        return static_cast<MonitorSummary&>(*GetSubAction(index));
    }
    // The history collection: the items take the cached intervals of their windows.
    void AttachRing(DataSet& dataSet);
    void CollectHistory(DataSet& live);
    // After an update: the oldest interval of each full window leaves it.
    void RollWindow();
    void RemoveEntries();
    SummaryStatistic EntryParameters() const;
    std::unique_ptr<MonitorSummaryReply> MakeReply(int32_t mode, const TimeRange& range) const;
    template <typename Message> bool Send(std::unique_ptr<MonitorSummaryReply> reply) const;

    std::unique_ptr<SummaryList> m_PeriodList;
    IntervalSummary* m_CurrentSummary = nullptr;
    // Before attachment the largest period in intervals; after it minus the number of complete
    // intervals before the current one that the ring holds for this action.
    int32_t m_Depth = 0;
    TimeSpan m_IntervalLength;
    int32_t m_SlotCount;
    bool m_MergeReply = false;
    // The live data set whose ring holds the cache entries; null until attached.
    DataSet* m_Ring = nullptr;
};

// At an interval end, after the ring advanced: every summary of the pool takes its entry of the
// new current interval.
void StartSummaryInterval(MonitorActionPool& summaries, const IntervalData& current);

} // namespace vq
