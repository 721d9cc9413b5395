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

bool EngineAdapters::ClockSink::AddPacket(Packet& packet) {
    m_Clock.AdvanceTo(packet.GetTime().GetTicks());
    ++m_Delivered;
    return m_Target && m_Target->AddPacket(packet);
}

} // namespace vq
