#include "monitor/LiveTraffic.h"

#include "monitor/CaptureAdapters.h"
#include "netmodel/Environment.h"
#include "netmodel/Tuple.h"

namespace vq {

LiveTraffic::LiveTraffic(int32_t kind, Environment& environment)
    : m_Traffic(kind), m_Environment(environment) {
    m_Traffic.SetHostReference(&environment.GetHostTable().GetEqualityIndex());
}

void LiveTraffic::AddPacket(const FrameView& frame) {
    Tuple* tuple = m_Environment.TupleForPacket(frame);
    if (!tuple) return;
    // The conversation hands the frame on to the actions watching its tuple.
    m_Traffic.AddPacket(frame, *tuple);
}

// Every data root of one data set counts on the same model, so the other's conversations share
// its tuples.
void LiveTraffic::CopyFrom(const TrafficStore& other) {
    if (const Traffic* source = other.GetConversations())
        m_Traffic.CopyFrom(*source);
    else
        m_Traffic.Clear();
}

void LiveTraffic::Add(const TrafficStore& other) {
    if (const Traffic* source = other.GetConversations()) m_Traffic.Merge(*source);
}

void LiveTraffic::SetAdapters(const CaptureAdapters& adapters) {
    m_Traffic.SetAdapters(adapters.GetAdapterList());
}

void LiveTraffic::UpdateAdapters(const CaptureAdapters& adapters) {
    m_Traffic.UpdateAdapters(adapters.GetAdapterList());
}

LiveImport::LiveImport(Environment& live) : m_Live(live), m_Opened(!live.IsImportOpen()) {
    if (m_Opened) m_Live.BeginImport();
}

LiveImport::~LiveImport() {
    if (m_Opened) m_Live.EndImport();
}

TrafficStoreFactory LiveTrafficFactory(Environment& environment) {
    return [&environment](int32_t kind) { return std::make_unique<LiveTraffic>(kind, environment); };
}

} // namespace vq
