#include "monitor/SummaryItem.h"

#include "netmodel/Conversation.h"

#include <algorithm>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(SummaryItem, Describable)
VQ_IMPLEMENT_RUNTIME_CLASS(SummaryList, DescribableCollection)

namespace {

const SummaryItem& Item(const Object& object) {
    return static_cast<const SummaryItem&>(object);
}

std::string FormatReady(const Object& object, uint32_t, int) {
    return FormatMember(Item(object).IsReady(), nullptr);
}

std::string FormatTime(const Object& object, uint32_t, int) {
    return FormatMember(Item(object).GetTime(), SpanDumpFormat);
}

std::string FormatPeriod(const Object& object, uint32_t, int) {
    return FormatMember(Item(object).GetPeriod(), "%u");
}

std::string FormatCounter(const Object& object, uint32_t, int) {
    return FormatMember(Item(object).GetCounter(), "%u");
}

std::string FormatStatistic(const Object& object, uint32_t flags, int depth) {
    return FormatMember(&Item(object).GetStatistic(), flags, depth);
}

std::string FormatIndex(const Object& object, uint32_t, int) {
    return FormatMember(static_cast<const SummaryList&>(object).GetIndex(), "%d");
}

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

MemberTable SummaryItem::Members() {
    static constexpr MemberRow rows[] = {
        {"m_Ready", "Ready", 6, &FormatReady},
        {"m_Time", "Time", 10, &FormatTime},
        {"m_Period", "Period", 10, &FormatPeriod},
        {"m_Counter", "Counter", 10, &FormatCounter},
        {"m_Statistic", "Statistic", 30, &FormatStatistic},
    };
    return {Class(), rows};
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

MemberTable SummaryList::Members() {
    static constexpr MemberRow rows[] = {{"m_Index", "Index", 6, &FormatIndex}};
    return {Class(), rows};
}

} // namespace vq
