#pragma once

#include "monitor/MonitorDataStatistic.h"
#include "runtime/MemberDescription.h"
#include "runtime/TimeSpan.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vq {

class Conversation;
class FrameView;
class Tuple;

// The traffic of one period of a summary: a sum over the last intervals of the live ring, with the
// number of intervals the period covers and how many complete ones it holds so far.
class SummaryItem : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(SummaryItem)

public:
    // The period in intervals of the ring: at least one, at most the ring's slot count; the
    // maximum span stands for the whole ring.
    SummaryItem(const TimeSpan& span, const TimeSpan& intervalLength, int32_t slotCount);
    SummaryItem(const SummaryItem& other) = default;
    SummaryItem& operator=(const SummaryItem&) = delete;

    void OnConversation(const Conversation& conversation);
    // Counted only when the frame belongs to the owning element (`key` and `selector` say which).
    void OnData(const FrameView& frame, const Conversation& conversation, int32_t key, const Tuple* selector);
    void Evaluate() { CountInterval(); }
    void Reset();
    // The capacity of one interval, scaled to the whole period.
    void SetCapacity(double capacity) { m_Statistic.SetCapacity(double(m_Period) * capacity); }
    void SetEvaluation(const TimeSpan& interval, int32_t mode, int32_t evaluation, double rateBase,
                       double capacity);

    // One more complete interval, until the period is full.
    void CountInterval();
    void Add(const MonitorDataStatistic& statistic) { m_Statistic.Add(statistic); }
    void Subtract(const MonitorDataStatistic& statistic) { m_Statistic.Subtract(statistic); }

    bool IsReady() const { return m_Ready; }
    const TimeSpan& GetTime() const { return m_Time; }
    uint32_t GetPeriod() const { return m_Period; }
    uint32_t GetCounter() const { return m_Counter; }
    SummaryStatistic& GetStatistic() { return m_Statistic; }
    const SummaryStatistic& GetStatistic() const { return m_Statistic; }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    bool m_Ready = false;
    TimeSpan m_Time;
    uint32_t m_Period = 1;
    uint32_t m_Counter = 0;
    SummaryStatistic m_Statistic{uint8_t(1)};
};

// One item per period, in the order the periods were added, and the index of the element that
// owns the list.
class SummaryList : public DescribableCollection {
    VQ_DECLARE_RUNTIME_CLASS(SummaryList)

public:
    SummaryList() = default;
    SummaryList(const SummaryList& other) = default;
    SummaryList& operator=(const SummaryList&) = delete;

    void Add(const SummaryItem& item) { m_Items.push_back(item); }

    void OnConversation(const Conversation& conversation);
    void OnData(const FrameView& frame, const Conversation& conversation, int32_t key, const Tuple* selector);
    void Evaluate();
    void Reset();
    void SetCapacity(double capacity);
    void SetEvaluation(const TimeSpan& interval, int32_t mode, int32_t evaluation, double rateBase,
                       double capacity);

    // Also switches on the element filter of every item's statistic.
    void SetIndex(int32_t index);
    // Every item's counters and times, with `withParameters` its evaluation too, from the statistic.
    void CopyAll(const MonitorDataStatistic& statistic, bool withParameters);
    void DeleteAll() { m_Items.clear(); }

    int32_t GetIndex() const { return m_Index; }
    std::size_t GetCount() const { return m_Items.size(); }
    SummaryItem& GetAt(std::size_t index) { return m_Items[index]; }
    const SummaryItem& GetAt(std::size_t index) const { return m_Items[index]; }
    // The largest number of intervals of any item; 0 without items.
    uint32_t GetLargestPeriod() const;

    auto begin() { return m_Items.begin(); }
    auto end() { return m_Items.end(); }
    auto begin() const { return m_Items.begin(); }
    auto end() const { return m_Items.end(); }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }
    std::size_t DescribedCount() const override { return m_Items.size(); }
    const Describable& DescribedElement(std::size_t index) const override { return m_Items[index]; }

private:
    std::vector<SummaryItem> m_Items;
    int32_t m_Index = -1;
};

} // namespace vq
