#pragma once

#include "capture/Packet.h"
#include "monitor/MonitorAdapters.h"

#include <cstdint>

namespace vq {

class ReplayClock;

// The monitor's adapter set as the engine harness opens it: in a replay, every frame first moves
// the replay clock to its own time stamp, so that the tick that follows falls by capture time.
class EngineAdapters : public MonitorAdapters {
public:
    // `clock` is null for live adapters.
    EngineAdapters(uint32_t slotCount, ReplayClock* clock);

    void SetPacketSink(PacketSink* sink) override;

    // Whether every adapter replays a file and has delivered all of it.
    bool IsReplayFinished() const;
    // Frames the drivers lost on every adapter.
    uint64_t GetLostTotal() const;
    // Frames handed to the monitor so far in a replay.
    uint64_t GetDeliveredFrames() const { return m_ClockSink ? m_ClockSink->GetDelivered() : 0; }

private:
    class ClockSink : public PacketSink {
    public:
        explicit ClockSink(ReplayClock& clock) : m_Clock(clock) {}
        void SetTarget(PacketSink* target) { m_Target = target; }
        bool AddPacket(Packet& packet) override;
        uint64_t GetDelivered() const { return m_Delivered; }

    private:
        ReplayClock& m_Clock;
        PacketSink* m_Target = nullptr;
        uint64_t m_Delivered = 0;
    };

    ReplayClock* m_Clock;
    // Between the adapters and the monitor's sink in a replay; null for live adapters.
    std::unique_ptr<ClockSink> m_ClockSink;
};

} // namespace vq
