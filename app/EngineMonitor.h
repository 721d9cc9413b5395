#pragma once

#include "app/EngineFigures.h"
#include "monitor/Monitor.h"

#include <cstdint>

namespace vq {

class ReplayClock;

// The monitor as the engine harness runs it. A replay starts once the harness says its actions are
// installed; after the last frame of the files is counted the monitor moves the clock to the end of
// the current interval, so that one last tick closes it, and then tells the main thread. As it
// exits it takes the figures of the run.
class EngineMonitor : public Monitor {
public:
    // Posted to this thread by the harness once its actions are installed: the replay may run.
    static constexpr uint32_t kReplayGo = 0x0401;
    // Posted to the main thread once the last interval of a replay has closed.
    static constexpr uint32_t kReplayDone = 0x0402;

    // The figures of the run go to `figures` as the thread exits.
    EngineMonitor(ThreadObject* mainThread, ReplayClock* clock, int64_t intervalMs, EngineFigures& figures);

    bool InitInstance() override;
    int ExitInstance() override;
    void OnTick(const Timestamp& now) override;

protected:
    void OnThreadMessage(const QueueEntry& entry) override;

private:
    void EndReplay();
    void DrainHistory();
    // Whether the entry is the history's answer that ends a replay; takes it when it is.
    bool IsHistoryDrained(const QueueEntry& entry);
    // Runs the timers due on the replay clock; answers when the next one falls due.
    int64_t RunDueTimers();
    void TakeFigures();

    ReplayClock* m_Clock;
    int64_t m_IntervalTicks;
    // The time the last tick must reach; 0 while the replay runs.
    uint64_t m_EndTicks = 0;
    EngineFigures& m_Figures;
};

} // namespace vq
