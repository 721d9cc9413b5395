#include "app/EngineMonitor.h"

#include "app/EngineAdapters.h"
#include "app/IpConversations.h"
#include "app/ReplayClock.h"
#include "monitor/LiveTraffic.h"
#include "monitor/MonitorGlobals.h"
#include "netmodel/Conversation.h"
#include "netmodel/Traffic.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/EngineGlobals.h"
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
      m_IntervalTicks(intervalMs * kTicksPerMillisecond), m_Figures(figures) {}

void EngineMonitor::OnThreadMessage(const QueueEntry& entry) {
    if (entry.message == kCheckReplay) {
        CheckReplay();
        return;
    }
    Monitor::OnThreadMessage(entry);
}

void EngineMonitor::CheckReplay() {
    auto* adapters = dynamic_cast<EngineAdapters*>(GetAdapterSet());
    if (!m_Clock || m_EndTicks != 0 || !adapters || !adapters->IsReplayFinished()) return;
    // Delivered whole, and no buffer brought anything since the last check: every frame is counted.
    const uint64_t frames = adapters->GetDeliveredFrames();
    if (frames != m_FramesAtCheck) {
        m_FramesAtCheck = frames;
        return;
    }
    const uint64_t now = m_Clock->FileTimeNow();
    m_EndTicks = (now / uint64_t(m_IntervalTicks) + 1) * uint64_t(m_IntervalTicks);
    m_Clock->AdvanceTo(m_EndTicks);
}

void EngineMonitor::OnTick(const Timestamp& now) {
    Monitor::OnTick(now);
    if (m_EndTicks != 0 && now.GetTicks() >= m_EndTicks) {
        m_EndTicks = UINT64_MAX;
        PostThreadMessage(Engine().m_ThreadPool.GetMainThread()->GetThreadId(), kReplayDone, 0, 0);
    }
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
