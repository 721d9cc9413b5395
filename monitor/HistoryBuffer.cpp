#include "monitor/HistoryBuffer.h"

#include "runtime/NotificationThreadMessage.h"

#include <limits>
#include <new>

namespace vq {
namespace {

int32_t SlotCount(const TimeSpan& history, const TimeSpan& interval) {
    const int64_t step = interval.GetTicks();
    const int64_t span = history.GetTicks() + step;
    if (step <= 0 || history.GetTicks() < 0 || span / step < 2) throw std::bad_alloc();
    if (span / step > std::numeric_limits<int32_t>::max()) throw std::bad_alloc();
    return int32_t(span / step);
}

} // namespace

HistoryBuffer::HistoryBuffer(const Timestamp& start, const TimeSpan& history, const TimeSpan& interval,
                             bool growing, TrafficStoreFactory factory)
    : m_Growing(growing), m_Interval(interval), m_Span(history.GetTicks() + interval.GetTicks()),
      m_EndTime(start + interval), m_Count(SlotCount(history, interval)), m_Factory(std::move(factory)),
      m_Slots(MakeSlots()) {
    ResetIndexes();
}

std::vector<std::unique_ptr<IntervalData>> HistoryBuffer::MakeSlots() const {
    std::vector<std::unique_ptr<IntervalData>> slots;
    slots.reserve(size_t(m_Count));
    for (int32_t i = 0; i < m_Count; ++i)
        slots.push_back(std::make_unique<IntervalData>(m_Interval, m_Factory));
    return slots;
}

void HistoryBuffer::ResetIndexes() {
    m_Oldest = 0;
    m_Current = m_Growing ? 1 : m_Count - 1;
}

void HistoryBuffer::Advance() {
    const Timestamp start = m_EndTime;
    const int32_t previous = m_Current;
    m_Slots[size_t(m_Current)]->SetTime(start);
    if (m_Oldest == 0) {
        if (m_Current == m_Count - 1) {
            m_Oldest = 1;
            m_Current = 0;
        } else {
            ++m_Current;
        }
    } else {
        m_Oldest = m_Oldest == m_Count - 1 ? 0 : m_Oldest + 1;
        m_Current = m_Current == m_Count - 1 ? 0 : m_Current + 1;
    }
    m_EndTime = start + m_Interval;
    const IntervalData& closed = *m_Slots[size_t(previous)];
    IntervalData& opened = *m_Slots[size_t(m_Current)];
    opened.RestartClear();
    opened.SetTime(start);
    opened.TakeOverSummaries(closed);
}

void HistoryBuffer::AdvanceTo(const Timestamp& now) {
    Advance();
    for (int32_t skipped = 0; skipped < m_Count && IsIntervalOver(now); ++skipped)
        Advance();
    if (!IsIntervalOver(now)) return;
    // Past the whole ring: every slot is empty, the current one moves to the interval of `now`.
    const uint64_t step = uint64_t(m_Interval.GetTicks());
    const uint64_t end = m_EndTime.GetTicks();
    const uint64_t start = end + (now.GetTicks() - end) / step * step;
    m_Slots[size_t(m_Current)]->SetTime(Timestamp(start));
    m_EndTime = Timestamp(start + step);
}

void HistoryBuffer::Reset() {
    for (int32_t i = 0; i < m_Count; ++i) {
        IntervalData& slot = *m_Slots[size_t(i)];
        if (i == m_Current) {
            slot.ResetClear();
        } else {
            slot.RestartClear();
            slot.SetTime(NULL_TIME);
        }
    }
}

void HistoryBuffer::Restart(const Timestamp& now) {
    try {
        m_Slots = MakeSlots();
    } catch (const std::bad_alloc&) {
        for (auto& slot : m_Slots) {
            slot->RestartClear();
            slot->SetTime(NULL_TIME);
        }
        PostNotification(3, 0, "out of memory: the intervals were cleared, not made anew", "HistoryBuffer",
                         "Restart", nullptr, nullptr, -1);
    }
    m_EndTime = now + m_Interval;
    ResetIndexes();
}

int32_t HistoryBuffer::Offset(int32_t index, int32_t offset) const {
    int32_t result = index + offset;
    if (result < 0)
        result += m_Count;
    else if (result > m_Count - 1)
        result -= m_Count;
    return result;
}

int32_t HistoryBuffer::IndexOf(const Timestamp& time) const {
    if (m_Oldest == m_Current) return m_Current;
    const uint64_t t = time.GetTicks();
    if (t <= m_Slots[size_t(m_Oldest)]->GetTime().GetTicks()) return m_Oldest;
    if (t >= m_Slots[size_t(m_Current)]->GetTime().GetTicks()) return m_Current;
    int32_t index = m_Oldest;
    while (index != m_Current && m_Slots[size_t(index)]->GetTime().GetTicks() < t)
        index = Offset(index, 1);
    return index;
}

IntervalData* HistoryBuffer::GetSlot(int32_t index) const {
    return index >= 0 && index < m_Count ? m_Slots[size_t(index)].get() : nullptr;
}

} // namespace vq
