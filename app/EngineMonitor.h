#pragma once

#include "app/EngineFigures.h"
#include "monitor/Monitor.h"

#include <cstdint>

namespace vq {

class ReplayClock;

// The monitor as the engine harness runs it. In a replay it notices the end of the files, moves
// the clock to the end of the current interval so that one tick closes it, and then tells the main
// thread; as it exits it takes the figures of the run.
class EngineMonitor : public Monitor {
public:
    // Posted to this thread now and then by the harness; in a replay it looks for the end.
    static constexpr uint32_t kCheckReplay = 0x0401;
    // Posted to the main thread once the last interval of a replay has closed.
    static constexpr uint32_t kReplayDone = 0x0402;

    // The figures of the run go to `figures` as the thread exits.
    EngineMonitor(ThreadObject* mainThread, ReplayClock* clock, int64_t intervalMs, EngineFigures& figures);

    int ExitInstance() override;
    void OnTick(const Timestamp& now) override;

protected:
    void OnThreadMessage(const QueueEntry& entry) override;

private:
    void CheckReplay();
    void TakeFigures();

    ReplayClock* m_Clock;
    int64_t m_IntervalTicks;
    // The frames counted at the last check: the end needs one check without news.
    uint64_t m_FramesAtCheck = UINT64_MAX;
    // The time the last tick must reach; 0 while the replay runs.
    uint64_t m_EndTicks = 0;
    EngineFigures& m_Figures;
};

} // namespace vq
