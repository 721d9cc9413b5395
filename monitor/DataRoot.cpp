#include "monitor/DataRoot.h"

#include "netmodel/Environment.h"

namespace vq {

DataRoot::DataRoot(int32_t kind, const TrafficStoreFactory& factory)
    : m_Kind(kind), m_Traffic(factory ? factory(kind) : nullptr) {}

DataRoot::~DataRoot() = default;

void DataRoot::BindAdapters(const CaptureAdapters& adapters) {
    if (m_Traffic) m_Traffic->SetAdapters(adapters);
}

void DataRoot::UpdateAdapters(const CaptureAdapters& adapters) {
    if (m_Traffic) m_Traffic->UpdateAdapters(adapters);
}

void DataRoot::AddPacket(const FrameView& frame) {
    if (m_Traffic) m_Traffic->AddPacket(frame);
}

void DataRoot::ResetClear() {
    if (m_Traffic) m_Traffic->Clear();
}

void DataRoot::RestartClear() {
    if (m_Traffic) m_Traffic->Clear();
}

void DataRoot::CopyFrom(const DataRoot& other) {
    if (!m_Traffic) return;
    if (other.m_Traffic)
        m_Traffic->CopyFrom(*other.m_Traffic);
    else
        m_Traffic->Clear();
}

void DataRoot::TakeOver(DataRoot& other) {
    if (!m_Traffic || !other.m_Traffic) {
        CopyFrom(other);
        return;
    }
    m_Traffic.swap(other.m_Traffic);
    m_Traffic->SettleAsCopy();
}

void DataRoot::Add(const DataRoot& other) {
    if (m_Traffic && other.m_Traffic) m_Traffic->Add(*other.m_Traffic);
}

void DataRoot::Import(const DataRoot& other, Environment& live) {
    Traffic* mine = m_Traffic ? m_Traffic->GetConversations() : nullptr;
    const Traffic* theirs = other.m_Traffic ? other.m_Traffic->GetConversations() : nullptr;
    if (mine && theirs) live.ImportTraffic(*theirs, *mine, 0);
}

} // namespace vq
