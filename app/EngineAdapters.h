#pragma once

#include "capture/Packet.h"
#include "monitor/MonitorAdapters.h"

#include <cstdint>
#include <functional>

namespace vq {

class ReplayClock;

// The monitor's adapter set as the engine harness opens it. In a replay every frame first moves
// the replay clock to its own time stamp and runs the timers that fall due by then, so that ticks
// fall between the same frames at any replay speed; the buffers are serviced only once the
// harness has installed its actions, and the end of the files is noticed in the buffer that
// completes them.
class EngineAdapters : public MonitorAdapters {
public:
    // `clock` is null for live adapters.
    EngineAdapters(uint32_t slotCount, ReplayClock* clock);

    void SetPacketSink(PacketSink* sink) override;
    bool IsReceiving() const override;
    bool ServiceSlot(int32_t slot) override;

    // `runDueTimers` runs the monitor's timers that are due on the replay clock and answers when
    // the next one falls due (monotonic nanoseconds); `atEnd` is called once, after the last
    // frame of the files was counted.
    void SetReplayCalls(std::function<int64_t()> runDueTimers, std::function<void()> atEnd);
    // Lets the monitor service the replay's buffers; before, they fill and wait.
    void ReleaseReplay();

    // Whether every adapter replays a file and has delivered all of it.
    bool IsReplayFinished() const;
    // Frames the drivers lost on every adapter.
    uint64_t GetLostTotal() const;

private:
    class ClockSink : public PacketSink {
    public:
        explicit ClockSink(ReplayClock& clock) : m_Clock(clock) {}
        void SetTarget(PacketSink* target) { m_Target = target; }
        void SetRunDueTimers(std::function<int64_t()> run) { m_RunDueTimers = std::move(run); }
        // Asks the queue again when the next timer falls due: the monitor may have set one.
        void RefreshDue();
        bool AddPacket(Packet& packet) override;

    private:
        ReplayClock& m_Clock;
        PacketSink* m_Target = nullptr;
        std::function<int64_t()> m_RunDueTimers;
        int64_t m_NextDueNs = INT64_MAX;
    };

    void EndIfComplete();
    bool HasCompletedReads() const;

    ReplayClock* m_Clock;
    // Between the adapters and the monitor's sink in a replay; null for live adapters.
    std::unique_ptr<ClockSink> m_ClockSink;
    std::function<void()> m_AtEnd;
    bool m_Released = false;
    bool m_Ended = false;
};

} // namespace vq
