#pragma once

#include "monitor/ActiveDataSet.h"
#include "monitor/CaptureAdapters.h"
#include "monitor/HistoryMap.h"
#include "monitor/HistoryService.h"
#include "monitor/MonitorStateMessage.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"
#include "platform/thread/MessageQueue.h"
#include "runtime/VQ_Thread.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vq {

class Event;
class GeneralThreadMessage;
class HistoryCheckpointRequestMessage;
class HistoryDatabaseReplyMessage;
class MonitorAction;
class MonitorActionCancelMessage;
class MonitorActionPool;
class MonitorActionRequestMessage;
class MonitorControlLookupMessage;
class MonitorControlMessage;
class MonitorControlResetMessage;
class MonitorControlStartMessage;
class StartupSummary;

// The capture and analysis thread: one loop waits on its queue and on the receive slots of its
// adapters, counts every frame into the live data set, and on its tick brings the data set and
// everything that reads it up to date. It makes and stops the history thread.
class Monitor : public VQ_Thread {
public:
    static constexpr uint32_t kEventSlots = 48;

    // Results of GetMessageOrPacket.
    enum WaitCode : int {
        WAIT_FAILED = 0,
        WAIT_QUIT = 1,
        WAIT_REMOVE_FAILED = 2,
        WAIT_MESSAGE = 3,
        WAIT_EVENT = 4,
        WAIT_ABANDONED = 5,
        WAIT_TIMEOUT = 6,
    };

    Monitor(ThreadObject* mainThread, const TimeSpan& historySpan);
    ~Monitor() override;

    void SetHistoryDatabase(std::string path, int32_t flags);

    bool InitInstance() override;
    int ExitInstance() override;
    bool PumpMessage() override;
    void OnTick(const Timestamp& now) override;
    bool CompactHeap() override;
    bool ResetMemoryLevel() override;
    // A name look-up answer for the live model's IP addresses.
    void OnNameReply(std::uintptr_t first, std::intptr_t second) override;

    // The next queued message before any receive slot, then the lowest signalled slot whose adapter
    // receives: one message or one slot per call.
    int GetMessageOrPacket(QueueEntry& message, int32_t& eventIndex, uint32_t timeoutMilliseconds);
    virtual void Update(const Timestamp& now);
    // Arms the tick on the first call only: first on the next update boundary at least half a step
    // away, then every update step.
    void StartTick();

    bool DeleteLeftoverService();
    bool RemoveDriverService();

    CaptureAdapters* GetAdapterSet() const { return m_AdapterSet.get(); }
    ActiveDataSet* GetDataSet() const { return m_DataSet.get(); }
    const TimeSpan& GetHistorySpan() const { return m_HistorySpan; }
    const std::string& GetDriverServiceName() const { return m_DriverServiceName; }
    std::uintptr_t GetCheckpointOwner() const { return m_CheckpointOwner; }
    const std::string& GetHistoryPath() const { return m_HistoryPath; }
    HistoryService* GetHistory() const { return m_History.get(); }
    HistoryMap& GetHistoryMap() { return m_HistoryMap; }
    // The summary booked at start-up while it waits for its history; null once it went.
    StartupSummary* GetStartupSummary() const { return m_StartupSummary; }
    // On a restart: every action waiting for history and every outstanding request are forgotten,
    // and the start-up summary goes.
    void ForgetHistoryRequests();

protected:
    // Set for a clock that may jump by years (a replay): an interval end moves the ring straight
    // to the interval of the tick's time instead of one interval per tick.
    bool m_JumpToNow = false;

    // The thread-message handlers. Each accepts its message, acts, completes it and deletes it when
    // told; out of memory goes to the exception handler and the message is still completed.
    void OnThreadMessage(const QueueEntry& entry) override;
    void OnGeneralDump(GeneralThreadMessage& message);
    void OnMonitorStart(MonitorControlStartMessage& message);
    void OnMonitorStop(MonitorControlMessage& message);
    void OnMonitorPause(MonitorControlMessage& message);
    void OnMonitorUnpause(MonitorControlMessage& message);
    void OnMonitorReset(MonitorControlResetMessage& message);
    void OnMonitorRestart(MonitorControlMessage& message);
    void OnMonitorLookup(MonitorControlLookupMessage& message);
    void OnMonitorCaptureOn(MonitorControlMessage& message);
    void OnMonitorCaptureOff(MonitorControlMessage& message);
    void OnStateAnnounce(MonitorStateAnnounceMessage& message);
    void OnStateIntegrityCheck(MonitorStateIntegrityCheckMessage& message);
    // Answers an action that is not installed afterwards, to be uninstalled once the message is
    // completed.
    MonitorAction* OnActionInstall(MonitorActionRequestMessage& message, MonitorActionPool& pool);
    void OnActionCancel(MonitorActionCancelMessage& message, MonitorActionPool& pool);
    void OnCheckpointInstall(HistoryCheckpointRequestMessage& message);
    // Passed on to the history thread unread.
    void OnDatabaseLog(ThreadMessage& message);
    void OnDatabaseReply(HistoryDatabaseReplyMessage& message);

    std::unique_ptr<CaptureAdapters> m_AdapterSet;
    std::unique_ptr<ActiveDataSet> m_DataSet;
    TimeSpan m_HistorySpan;
    std::string m_DriverServiceName;
    // The history thread object that asked for checkpoints; an address, so pointer-sized.
    std::uintptr_t m_CheckpointOwner = 0;
    HistoryMap m_HistoryMap;
    StartupSummary* m_StartupSummary = nullptr;
    std::string m_HistoryPath;
    int32_t m_HistoryFlags = 0;

private:
    bool IsNtFamily() const;
    void StartHistory();
    void BookStartupSummary();
    void DeleteStartupSummary();
    // Everything that happens, in order, once the current interval has closed.
    void EndInterval(const Timestamp& now);

    std::unique_ptr<HistoryService> m_History;
    // Capture paused by the memory guard, which alone may resume it.
    bool m_PausedForMemory = false;
    // The wait's events and the slots they stand for, kept so that a wait allocates nothing.
    std::vector<Event*> m_WaitEvents;
    std::vector<int32_t> m_WaitSlots;
    // Open on this thread while it works through buffers without sleeping. A reader woken within
    // a display frame's time sees nothing late, and a replay wakes it at most a hundred times a
    // second.
    static constexpr int64_t kWakeDelayNs = 10'000'000;
    std::optional<WakeBatch> m_Wakes;
};

// Starts the thread and registers it; a thread the registry refuses is stopped again.
bool StartWorkerThread(Monitor& monitor);
// Shuts the program's thread messages down, then stops the thread, unregisters and deletes it.
void StopWorkerThread(std::unique_ptr<Monitor>& monitor);

} // namespace vq
