#include "monitor/Monitor.h"

#include "monitor/DatabaseCheckpoint.h"
#include "monitor/HistoryMessages.h"
#include "monitor/LiveTraffic.h"
#include "monitor/MonitorAdapters.h"
#include "monitor/MonitorGlobals.h"
#include "monitor/MonitorSummary.h"
#include "platform/sys/DriverService.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/EngineGlobals.h"
#include "runtime/MessageIds.h"
#include "runtime/NotificationThreadMessage.h"
#include "runtime/OsClass.h"
#include "runtime/SystemText.h"

#include <new>

namespace vq {
namespace {

const char* ServiceNameFor(int osClass) {
    switch (osClass) {
    case 4:
        return "REVEZUD4";
    case 5:
        return "REVEZUD5";
    default:
        return "REVEZUD3";
    }
}

void ReportWait(int severity, const char* call) {
    PostNotification(severity, 0, FormatSystemError(0, call, {}, true, false).c_str(), "Monitor",
                     "GetMessageOrPacket", nullptr, nullptr, -1);
}

} // namespace

Monitor::Monitor(ThreadObject* mainThread, const TimeSpan& historySpan)
    : VQ_Thread("Monitor"), m_HistorySpan(historySpan) {
    EngineGlobals& engine = Engine();
    if (!engine.m_FirstMonitorMade.exchange(true)) {
        const int osClass = GetOsClass();
        engine.m_State.m_OsClass = osClass;
        m_DriverServiceName = ServiceNameFor(osClass);
        if (mainThread) {
            engine.m_ThreadPool.SetMainThread(mainThread);
            engine.m_ThreadPool.Add(mainThread);
        }
    }
    TheMonitorGlobals().m_Monitor = this;
}

Monitor::~Monitor() {
    DeleteStartupSummary();
    m_AdapterSet.reset();
    m_DataSet.reset();
    Monitor* self = this;
    TheMonitorGlobals().m_Monitor.compare_exchange_strong(self, nullptr);
}

void Monitor::SetHistoryDatabase(std::string path, int32_t flags) {
    m_HistoryPath = std::move(path);
    m_HistoryFlags = flags;
}

bool Monitor::IsNtFamily() const {
    return Engine().m_State.m_OsClass >= 4;
}

bool Monitor::InitInstance() {
    try {
        CreateWindowAndTimers();
        m_MemoryTimer->Enable();
        if (IsNtFamily()) DeleteLeftoverService();
        MonitorGlobals& globals = TheMonitorGlobals();
        m_AdapterSet = globals.m_AdaptersFactory ? globals.m_AdaptersFactory(kEventSlots)
                                                 : std::make_unique<MonitorAdapters>(kEventSlots, nullptr);
        // Opening the adapters may have installed the service again.
        if (IsNtFamily()) DeleteLeftoverService();
        if (const AdapterList* adapters = m_AdapterSet->GetAdapterList())
            globals.m_Environment->SetAdapters(*adapters);
        const TrafficStoreFactory counters =
            globals.m_TrafficFactory ? globals.m_TrafficFactory : LiveTrafficFactory(*globals.m_Environment);
        m_DataSet = std::make_unique<ActiveDataSet>(m_HistorySpan, TimeSpan(), TimeSpan(), counters);
        m_DataSet->SetAdapters(*m_AdapterSet);
        m_HistorySpan = m_DataSet->GetRing()->GetSpan();
        // Reads are posted only once capture starts, well after this.
        m_AdapterSet->SetPacketSink(m_DataSet.get());
        if (!m_HistoryPath.empty()) StartHistory();
    } catch (const std::bad_alloc&) {
        return false;
    }
    return VQ_Thread::InitInstance();
}

void Monitor::StartHistory() {
    // The recorder lives above the engine, so the program hands over how to make it.
    const HistoryFactory& factory = TheMonitorGlobals().m_HistoryFactory;
    if (!factory) return;
    m_History = factory(m_HistoryPath, m_HistoryFlags);
    if (!StartHistoryThread(m_History)) {
        m_History.reset();
        return;
    }
    BookStartupSummary();
}

int Monitor::ExitInstance() {
    m_Wakes.reset();
    DeleteStartupSummary();
    StopHistoryThread(m_History);
    m_AdapterSet.reset();
    RemoveDriverService();
    m_DataSet.reset();
    return VQ_Thread::ExitInstance();
}

int Monitor::GetMessageOrPacket(QueueEntry& message, int32_t& eventIndex, uint32_t timeoutMilliseconds) {
    MessageQueue& queue = MessageQueue::Current();
    if (queue.Peek(message)) return message.message == WM_QUIT ? WAIT_QUIT : WAIT_MESSAGE;

    // Only registered slots of receiving adapters are waited on; their numbers stay, so the lowest
    // signalled slot still wins.
    m_WaitEvents.clear();
    m_WaitSlots.clear();
    if (m_AdapterSet && m_AdapterSet->IsReceiving())
        m_AdapterSet->CollectWaitSlots(m_WaitEvents, m_WaitSlots);

    const WaitResult result = queue.Wait(m_WaitEvents, timeoutMilliseconds);
    switch (result.kind) {
    case WaitResult::Kind::Event:
        eventIndex = m_WaitSlots[result.index];
        return WAIT_EVENT;
    case WaitResult::Kind::Input:
        if (!queue.Peek(message)) {
            ReportWait(3, "PeekMessage:");
            return WAIT_REMOVE_FAILED;
        }
        return message.message == WM_QUIT ? WAIT_QUIT : WAIT_MESSAGE;
    case WaitResult::Kind::Timeout:
        return WAIT_TIMEOUT;
    case WaitResult::Kind::Failed:
        break;
    }
    ReportWait(4, "MsgWaitForMultipleObjects:");
    return WAIT_FAILED;
}

bool Monitor::PumpMessage() {
    QueueEntry message;
    int32_t eventIndex = 0;
    try {
        switch (GetMessageOrPacket(message, eventIndex, MessageQueue::kInfinite)) {
        case WAIT_QUIT:
            m_Wakes.reset();
            return false;
        case WAIT_MESSAGE:
            // Once the program shuts down, messages are taken and dropped: the message pool frees
            // them at exit.
            if (!Engine().m_State.m_ShuttingDown && message.message != WM_KICKIDLE) Dispatch(message);
            break;
        case WAIT_EVENT:
            // What the rings of buffers announce or reply reaches the other threads with one wake
            // each per few milliseconds, and at once when this thread goes to sleep.
            if (!m_Wakes) m_Wakes.emplace();
            m_AdapterSet->ServiceSlot(eventIndex);
            m_Wakes->WakeHeldAfter(kWakeDelayNs);
            break;
        case WAIT_TIMEOUT:
            PostNotification(3, 0, "timeout expired", "Monitor", "PumpMessage", nullptr, nullptr, -1);
            break;
        default:
            break;
        }
    } catch (...) {
        ExceptionHandler(std::current_exception());
    }
    return true;
}

void Monitor::StartTick() {
    if (!m_TickTimer || !m_DataSet || m_TickTimer->IsEnabled()) return;
    m_TickTimer->Enable();
    m_TickTimer->SetDefaultPeriod(m_DataSet->GetUpdateStep());
    m_TickTimer->Start(m_DataSet->TimeToNextUpdate());
}

void Monitor::OnTick(const Timestamp& now) {
    CheckMemory();
    Update(now);
}

// The actions see the step just merged before the interval it belongs to closes.
void Monitor::Update(const Timestamp& now) {
    if (!m_DataSet) return;
    MonitorGlobals& globals = TheMonitorGlobals();
    m_DataSet->Tick(now);
    globals.m_Pools.UpdateAll(now);
    if (m_DataSet->GetRing()->IsIntervalOver(now)) EndInterval(now);
    globals.m_Environment->Tick(now);
}

// Live, a stalled ring catches up one interval per tick. With `m_JumpToNow` a clock that jumped
// past the next interval closes the current one only; the ring moves on to the interval of `now`,
// and the summaries, which roll their windows one interval per update, take their windows afresh
// from the ring.
void Monitor::EndInterval(const Timestamp& now) {
    MonitorGlobals& globals = TheMonitorGlobals();
    SendCheckpoint(m_CheckpointOwner, *m_DataSet, *globals.m_Environment, globals.m_History.load(), *this);
    const HistoryBuffer& ring = *m_DataSet->GetRing();
    const bool jumped = m_JumpToNow && now.GetTicks() >= ring.GetEndTime().GetTicks() +
                                                             uint64_t(ring.GetInterval().GetTicks());
    try {
        if (jumped)
            m_DataSet->AdvanceInterval(now);
        else
            m_DataSet->AdvanceInterval();
    } catch (const std::bad_alloc&) {
        // The ring has moved on all the same.
        ExceptionHandler(std::current_exception());
    }
    if (jumped)
        globals.m_Pools.Summaries().ResetAll();
    else
        StartSummaryInterval(globals.m_Pools.Summaries(), *m_DataSet->GetCurrent());
}

void Monitor::OnNameReply(std::uintptr_t first, std::intptr_t second) {
    TheMonitorGlobals().m_Environment->OnNameReply(5, uint32_t(first), uint32_t(second));
}

bool Monitor::CompactHeap() {
    VQ_Thread::CompactHeap();
    if (m_MemoryLevel < m_LevelLow) return true;
    Engine().m_State.m_TraceSuppressed = true;
    if (m_MemoryLevel < m_LevelCritical) return true;
    if (m_AdapterSet) m_AdapterSet->Pause({});
    m_PausedForMemory = true;
    return false;
}

bool Monitor::ResetMemoryLevel() {
    GlobalState& state = Engine().m_State;
    state.m_TraceSuppressed = false;
    m_MemoryLevel = 0;
    // Capture paused for another reason (the user's pause) stays paused.
    if (!state.m_CaptureActive && m_PausedForMemory) {
        m_PausedForMemory = false;
        if (m_AdapterSet) m_AdapterSet->Resume({});
    }
    return true;
}

bool Monitor::DeleteLeftoverService() {
    return CurrentDriverService().DeleteDriverService(m_DriverServiceName);
}

bool Monitor::RemoveDriverService() {
    if (!IsNtFamily()) return false;
    DriverService& service = CurrentDriverService();
    const bool stopped = service.StopDriverService(m_DriverServiceName);
    return service.DeleteDriverService(m_DriverServiceName) && stopped;
}

bool StartWorkerThread(Monitor& monitor) {
    if (!monitor.CreateThread()) return false;
    if (Engine().m_ThreadPool.Add(&monitor)) return true;
    PostThreadMessage(monitor.GetThreadId(), WM_QUIT, 0, 0);
    monitor.Join();
    return false;
}

void StopWorkerThread(std::unique_ptr<Monitor>& monitor) {
    Engine().m_State.m_ShuttingDown = true;
    if (!monitor) return;
    PostThreadMessage(monitor->GetThreadId(), WM_QUIT, 0, 0);
    monitor->Join();
    Engine().m_ThreadPool.Remove(monitor.get());
    monitor.reset();
}

} // namespace vq
