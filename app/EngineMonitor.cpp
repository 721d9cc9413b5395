#include "app/EngineMonitor.h"

#include "app/EngineAdapters.h"
#include "app/IpConversations.h"
#include "app/ReplayClock.h"
#include "monitor/HistoryMessages.h"
#include "monitor/HistoryService.h"
#include "monitor/LiveTraffic.h"
#include "monitor/MonitorGlobals.h"
#include "netmodel/Conversation.h"
#include "netmodel/Traffic.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/EngineGlobals.h"
#include "runtime/MessageIds.h"
#include "runtime/TimeUnits.h"

namespace vq {

namespace {

constexpr int64_t kTicksPerMillisecond = 10'000;

// Adds a container's conversations into the totals and the IP conversations.
void AddTraffic(const DataRoot& root, EngineFigures& figures, IpConversations& pairs) {
    const Traffic* traffic = root.GetTraffic() ? root.GetTraffic()->GetConversations() : nullptr;
    if (!traffic) return;
    for (const TAO* tao : traffic->GetList()) {
        const TrafficData& counts = static_cast<const Conversation*>(tao)->GetTraffic();
        figures.frames += uint64_t(counts.Get(TrafficData::Packets));
        figures.octets += uint64_t(counts.Get(TrafficData::Octets));
    }
    pairs.Add(*traffic);
}

} // namespace

EngineMonitor::EngineMonitor(ThreadObject* mainThread, ReplayClock* clock, int64_t intervalMs,
                             EngineFigures& figures)
    : Monitor(mainThread, TimeSpan(8, Unit::Hours)), m_Clock(clock),
      m_IntervalTicks(intervalMs * kTicksPerMillisecond), m_Figures(figures) {
    m_JumpToNow = clock != nullptr;
}

bool EngineMonitor::InitInstance() {
    if (!Monitor::InitInstance()) return false;
    if (auto* adapters = dynamic_cast<EngineAdapters*>(GetAdapterSet()))
        adapters->SetReplayCalls([this] { return RunDueTimers(); }, [this] { EndReplay(); });
    return true;
}

void EngineMonitor::OnThreadMessage(const QueueEntry& entry) {
    if (entry.message == kReplayGo) {
        if (auto* adapters = dynamic_cast<EngineAdapters*>(GetAdapterSet())) adapters->ReleaseReplay();
        return;
    }
    if (entry.message == WM_Database_Reply && IsHistoryDrained(entry)) {
        PostThreadMessage(Engine().m_ThreadPool.GetMainThread()->GetThreadId(), kReplayDone, 0, 0);
        return;
    }
    Monitor::OnThreadMessage(entry);
}

int64_t EngineMonitor::RunDueTimers() {
    MessageQueue& queue = MessageQueue::Current();
    QueueEntry entry;
    while (queue.Peek(entry, TargetFilter::Any(), MessageRange{WM_TIMER, WM_TIMER}))
        Dispatch(entry);
    return queue.NextTimerDue().value_or(INT64_MAX);
}

void EngineMonitor::EndReplay() {
    if (!m_Clock || m_EndTicks != 0) return;
    const uint64_t now = m_Clock->FileTimeNow();
    m_EndTicks = (now / uint64_t(m_IntervalTicks) + 1) * uint64_t(m_IntervalTicks);
    m_Clock->AdvanceTo(m_EndTicks);
}

void EngineMonitor::OnTick(const Timestamp& now) {
    Monitor::OnTick(now);
    if (m_EndTicks != 0 && now.GetTicks() >= m_EndTicks) {
        m_EndTicks = UINT64_MAX;
        DrainHistory();
    }
}

// Once the program shuts down the history thread drops what is still queued, the last checkpoint
// with it. It handles its queue in order, so its answer to a request sent after the checkpoint
// says the checkpoint is written; the request is for a time after every interval, so it reads
// nothing.
void EngineMonitor::DrainHistory() {
    const ThreadId main = Engine().m_ThreadPool.GetMainThread()->GetThreadId();
    HistoryService* history = TheMonitorGlobals().m_History.load();
    if (!history) {
        PostThreadMessage(main, kReplayDone, 0, 0);
        return;
    }
    auto request = std::make_unique<DatabaseRequest>();
    request->m_Identifier = reinterpret_cast<std::uintptr_t>(this);
    request->m_From = Timestamp(m_Clock->FileTimeNow() + uint64_t(m_IntervalTicks));
    request->m_To = request->m_From;
    auto* message = new HistoryDatabaseRequestMessage(std::move(request), false, true);
    if (!message->Send(history)) {
        delete message;
        PostThreadMessage(main, kReplayDone, 0, 0);
    }
}

bool EngineMonitor::IsHistoryDrained(const QueueEntry& entry) {
    auto* message = reinterpret_cast<ThreadMessage*>(entry.lParam);
    auto* answer = dynamic_cast<HistoryDatabaseReplyMessage*>(message);
    if (!answer || !answer->GetReply() ||
        answer->GetReply()->GetIdentifier() != reinterpret_cast<std::uintptr_t>(this))
        return false;
    if (message->Receive() && message->Complete()) delete message;
    return true;
}

int EngineMonitor::ExitInstance() {
    TakeFigures();
    return Monitor::ExitInstance();
}

void EngineMonitor::TakeFigures() {
    IpConversations pairs;
    // The totals hold every tick so far; the frames since the last tick are in the running step.
    if (ActiveDataSet* data = GetDataSet()) {
        AddTraffic(data->GetTotal(), m_Figures, pairs);
        AddTraffic(data->GetLatest(), m_Figures, pairs);
    }
    m_Figures.conversations = pairs.Take();
    if (auto* adapters = dynamic_cast<EngineAdapters*>(GetAdapterSet()))
        m_Figures.lost = adapters->GetLostTotal();
    if (Environment* model = TheMonitorGlobals().m_Environment.get()) {
        m_Figures.hosts = uint64_t(model->GetHostTable().GetCount());
        m_Figures.tuples = uint64_t(model->GetTuplePool().GetCount());
    }
}

} // namespace vq
