#pragma once

#include "platform/gui/WindowSystem.h"
#include "platform/thread/PlatformThread.h"
#include "platform/thread/QueueEntry.h"
#include "platform/time/OleDateTimeSpan.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace vq {

class ActiveTestExec;
struct ActiveTestEvent;
struct ActiveTestInfo;
struct ActiveTestResult;

// The active-test manager's thread: keeps the schedule of every device under test, starts at most
// five one-shot ping workers at a time, judges their results against the devices' response events
// and passes results and fired events to the application thread and copies to the Active Test
// Monitor window. Everything reaches it as posted thread messages; it holds no locks and shares
// no record with another thread.
class ActiveTestManager {
public:
    static constexpr std::size_t kMaxWorkers = 5;
    // The value a fired response event is reported with.
    static constexpr LPARAM kFiredValue = 256;

    ActiveTestManager();
    // Stops the thread when it still runs and waits for it.
    ~ActiveTestManager();
    ActiveTestManager(const ActiveTestManager&) = delete;
    ActiveTestManager& operator=(const ActiveTestManager&) = delete;

    // Starts the thread, whose queue takes posts once this returns; false when it cannot be made.
    bool CreateThread();
    ThreadId GetThreadId() const { return m_Thread.GetId(); }
    // Waits until the thread has ended, and with it every worker it started (each within the ping
    // time-out).
    void WaitUntilEnded();

    // Judges one result for one event; true when the event fires.
    static bool Evaluate(ActiveTestEvent& event, const ActiveTestResult& result);

    // Progress counters for tests and measurements, readable from any thread.
    std::uint64_t GetTicksHandled() const { return m_TicksHandled.load(); }
    std::uint64_t GetWorkersStarted() const { return m_WorkersStarted.load(); }
    std::size_t GetWorkersRunning() const { return m_WorkersRunning.load(); }

private:
    void Loop();
    // False once the loop should end.
    bool Handle(const QueueEntry& entry);
    void OnInit(ThreadId application);
    void OnAdd(std::unique_ptr<ActiveTestInfo> test);
    void OnTick();
    void OnRemove(std::unique_ptr<ActiveTestInfo> request);
    void OnAttach(HWND window);
    void OnDone(std::uint64_t worker, std::unique_ptr<ActiveTestResult> result);
    void OnSkipped(std::uint64_t worker, std::uint64_t testSerial);
    void OnOpen(UINT message, std::unique_ptr<ActiveTestInfo> request);

    bool StartWorker(ActiveTestInfo& test);
    // Forgets the worker and waits for its thread, which ends right after answering; false when
    // the worker is not one of ours.
    bool EndWorker(std::uint64_t worker);
    ActiveTestInfo* FindTest(std::uint64_t serial) const;
    void ResetTest(ActiveTestInfo& test) const;
    void PostToApplication(UINT message, WPARAM wParam, LPARAM lParam) const;
    template <typename Payload> void PostToWindow(UINT message, std::unique_ptr<Payload> payload) const;

    static OleDateTimeSpan TestTimeSpan(const ActiveTestInfo& test);
    static void Free(const QueueEntry& entry);

    HWND m_MonitorWnd = 0;
    std::vector<std::unique_ptr<ActiveTestInfo>> m_Tests;
    std::int32_t m_NextSlot = 0;
    std::int32_t m_Second = 0;
    ThreadId m_App = 0;
    std::map<std::uint64_t, std::unique_ptr<ActiveTestExec>> m_Workers;
    OleDateTimeSpan m_OneMinute{0, 0, 1, 0};
    std::uint64_t m_LastTestSerial = 0;
    std::uint64_t m_LastWorker = 0;
    // Numbers the tests turned away for want of a worker, so the longest-waiting goes first.
    std::int64_t m_LastTurnedAway = 0;

    std::atomic<std::uint64_t> m_TicksHandled{0};
    std::atomic<std::uint64_t> m_WorkersStarted{0};
    std::atomic<std::size_t> m_WorkersRunning{0};
    PlatformThread m_Thread;
};

} // namespace vq
