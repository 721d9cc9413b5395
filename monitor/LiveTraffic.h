#pragma once

#include "monitor/TrafficStore.h"
#include "netmodel/Traffic.h"

#include <cstdint>

namespace vq {

class Environment;

// The counters of a live data root: one conversation per tuple of the live model. A frame counted
// here is learned by the model first (hosts, interface, tuple), then reaches the actions that
// watch its tuple.
class LiveTraffic final : public TrafficStore {
public:
    LiveTraffic(int32_t kind, Environment& environment);

    void AddPacket(const FrameView& frame) override;
    void Clear() override { m_Traffic.Clear(); }
    void CopyFrom(const TrafficStore& other) override;
    void SettleAsCopy() override { m_Traffic.SettleAsCopy(); }
    void Add(const TrafficStore& other) override;
    Traffic* GetConversations() const override { return &m_Traffic; }
    void SetAdapters(const CaptureAdapters& adapters) override;
    void UpdateAdapters(const CaptureAdapters& adapters) override;

private:
    mutable Traffic m_Traffic;
    Environment& m_Environment;
};

// Live counters on the environment, for every data root of the monitor's data set.
TrafficStoreFactory LiveTrafficFactory(Environment& environment);

// One open import of the live model, closed however the scope is left; an import opened by a
// caller further up stays open.
class LiveImport {
public:
    explicit LiveImport(Environment& live);
    ~LiveImport();
    LiveImport(const LiveImport&) = delete;
    LiveImport& operator=(const LiveImport&) = delete;

private:
    Environment& m_Live;
    bool m_Opened;
};

} // namespace vq
