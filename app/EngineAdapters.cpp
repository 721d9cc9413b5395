#include "app/EngineAdapters.h"

#include "app/ReplayClock.h"
#include "capture/Adapter.h"
#include "capture/RecvChannel.h"

namespace vq {

EngineAdapters::EngineAdapters(uint32_t slotCount, ReplayClock* clock)
    : MonitorAdapters(slotCount, nullptr), m_Clock(clock) {
    if (m_Clock) m_ClockSink = std::make_unique<ClockSink>(*m_Clock);
}

void EngineAdapters::SetPacketSink(PacketSink* sink) {
    if (!m_ClockSink) {
        MonitorAdapters::SetPacketSink(sink);
        return;
    }
    m_ClockSink->SetTarget(sink);
    MonitorAdapters::SetPacketSink(sink ? m_ClockSink.get() : nullptr);
}

void EngineAdapters::SetReplayCalls(std::function<int64_t()> runDueTimers, std::function<void()> atEnd) {
    if (!m_ClockSink) return;
    m_ClockSink->SetRunDueTimers(std::move(runDueTimers));
    m_AtEnd = std::move(atEnd);
}

bool EngineAdapters::IsReceiving() const {
    return (!m_Clock || m_Released) && MonitorAdapters::IsReceiving();
}

void EngineAdapters::ReleaseReplay() {
    if (!m_Clock || m_Released) return;
    m_Released = true;
    // A file with no frames, or one delivered whole while the buffers waited, completes no
    // further read: what is in the buffers is counted now.
    if (!IsReplayFinished()) return;
    std::vector<Event*> events;
    std::vector<int32_t> slots;
    CollectWaitSlots(events, slots);
    if (slots.empty())
        EndIfComplete();
    else
        ServiceSlot(slots.front());
}

bool EngineAdapters::ServiceSlot(int32_t slot) {
    if (!m_Clock) return MonitorAdapters::ServiceSlot(slot);
    m_ClockSink->RefreshDue();
    const bool serviced = MonitorAdapters::ServiceSlot(slot);
    EndIfComplete();
    return serviced;
}

// Posting a read again resets its event, so the buffer of the last frame may have been taken and
// posted again by the service that counted it: no event tells of the end. The reader marks a file
// finished only after completing its last read, and reads complete in ring order, so a finished
// file whose oldest posted read is not complete has had every frame counted.
void EngineAdapters::EndIfComplete() {
    if (m_Ended || !IsReplayFinished() || HasCompletedReads()) return;
    m_Ended = true;
    if (m_AtEnd) m_AtEnd();
}

bool EngineAdapters::HasCompletedReads() const {
    for (int index = 0; index < GetSet().GetSize(); ++index) {
        RecvChannel* channel = GetSet().GetAdapter(index)->GetChannel();
        if (!channel || channel->GetBufferCount() == 0) continue;
        const uint32_t oldest = channel->GetCurrent();
        if (channel->IsPosted(oldest) && channel->BufferReady(oldest)) return true;
    }
    return false;
}

bool EngineAdapters::IsReplayFinished() const {
    return m_Clock && GetSet().IsReplayFinished();
}

uint64_t EngineAdapters::GetLostTotal() const {
    uint64_t lost = 0;
    for (int index = 0; index < GetSet().GetSize(); ++index)
        if (const RecvChannel* channel = GetSet().GetAdapter(index)->GetChannel())
            lost += channel->GetLostTotal();
    return lost;
}

void EngineAdapters::ClockSink::RefreshDue() {
    m_NextDueNs = m_RunDueTimers ? m_RunDueTimers() : INT64_MAX;
}

bool EngineAdapters::ClockSink::AddPacket(Packet& packet) {
    // Replay time never goes back: a frame stamped earlier than the clock counts at its time.
    const uint64_t now = m_Clock.FileTimeNow();
    if (packet.GetTime().GetTicks() < now)
        packet.SetTime(Timestamp(now));
    else
        m_Clock.AdvanceTo(packet.GetTime().GetTicks());
    // The tick that falls due by this frame's time comes before the frame, as it would live.
    if (m_RunDueTimers && m_Clock.NowNanoseconds() >= m_NextDueNs) m_NextDueNs = m_RunDueTimers();
    return m_Target && m_Target->AddPacket(packet);
}

} // namespace vq
