#include "monitor/SummaryItem.h"

#include "netmodel/Conversation.h"

#include <algorithm>

namespace vq {
namespace {

uint32_t IntervalsOf(const TimeSpan& span, const TimeSpan& intervalLength, int32_t slotCount) {
    const int64_t slots = std::max<int32_t>(slotCount, 1);
    if (span.GetTicks() == MAX_SPAN.GetTicks()) return uint32_t(slots);
    // No interval to divide by: the period covers the one interval there is.
    const int64_t length = intervalLength.GetTicks();
    if (length <= 0) return 1;
    const int64_t n = span.GetTicks() / length;
    if (n < 1) return 1;
    return uint32_t(std::min(n, slots));
}

} // namespace

SummaryItem::SummaryItem(const TimeSpan& span, const TimeSpan& intervalLength, int32_t slotCount)
    : m_Time(span), m_Period(IntervalsOf(span, intervalLength, slotCount)) {
    if (span.GetTicks() == MAX_SPAN.GetTicks())
        m_Time = TimeSpan(intervalLength.GetTicks() * int64_t(m_Period));
}

void SummaryItem::OnConversation(const Conversation& conversation) {
    m_Statistic.CopyConversation(conversation);
}

void SummaryItem::OnData(const FrameView& frame, const Conversation& conversation, int32_t key,
                         const Tuple* selector) {
    m_Statistic.CountPacket(frame, conversation, key, selector);
}

void SummaryItem::Reset() {
    m_Counter = 0;
    m_Ready = false;
    m_Statistic.TrafficData::Reset();
}

void SummaryItem::SetEvaluation(const TimeSpan& interval, int32_t mode, int32_t evaluation, double rateBase,
                                double capacity) {
    m_Statistic.SetParameters(interval, mode, evaluation, rateBase, capacity);
}

void SummaryItem::CountInterval() {
    if (m_Ready) return;
    if (++m_Counter >= m_Period) m_Ready = true;
}

void SummaryList::OnConversation(const Conversation& conversation) {
    for (SummaryItem& item : m_Items)
        item.OnConversation(conversation);
}

void SummaryList::OnData(const FrameView& frame, const Conversation& conversation, int32_t key,
                         const Tuple* selector) {
    for (SummaryItem& item : m_Items)
        item.OnData(frame, conversation, key, selector);
}

void SummaryList::Evaluate() {
    for (SummaryItem& item : m_Items)
        item.Evaluate();
}

void SummaryList::Reset() {
    for (SummaryItem& item : m_Items)
        item.Reset();
}

void SummaryList::SetCapacity(double capacity) {
    for (SummaryItem& item : m_Items)
        item.SetCapacity(capacity);
}

void SummaryList::SetEvaluation(const TimeSpan& interval, int32_t mode, int32_t evaluation, double rateBase,
                                double capacity) {
    for (SummaryItem& item : m_Items)
        item.SetEvaluation(interval, mode, evaluation, rateBase, capacity);
}

void SummaryList::SetIndex(int32_t index) {
    m_Index = index;
    for (SummaryItem& item : m_Items)
        item.GetStatistic().SetIndex(index);
}

void SummaryList::CopyAll(const MonitorDataStatistic& statistic, bool withParameters) {
    for (SummaryItem& item : m_Items)
        item.GetStatistic().Copy(statistic, withParameters);
}

uint32_t SummaryList::GetLargestPeriod() const {
    uint32_t largest = 0;
    for (const SummaryItem& item : m_Items)
        largest = std::max(largest, item.GetPeriod());
    return largest;
}

} // namespace vq
