#pragma once

#include "monitor/TrafficStore.h"
#include "netmodel/Traffic.h"

namespace vq::history {

// The counters of a data set rebuilt from the history: conversations only. No frame reaches such a
// set, so counting one does nothing.
class HistoryTrafficStore : public TrafficStore {
public:
    explicit HistoryTrafficStore(int32_t kind) : m_Traffic(kind) {}

    void AddPacket(const FrameView&) override {}
    void Clear() override { m_Traffic.Clear(); }
    void CopyFrom(const TrafficStore& other) override {
        if (Traffic* conversations = other.GetConversations())
            m_Traffic.CopyFrom(*conversations);
        else
            m_Traffic.Clear();
    }
    void Add(const TrafficStore& other) override {
        if (Traffic* conversations = other.GetConversations()) m_Traffic.Merge(*conversations);
    }
    Traffic* GetConversations() const override { return &m_Traffic; }

private:
    mutable Traffic m_Traffic;
};

} // namespace vq::history
