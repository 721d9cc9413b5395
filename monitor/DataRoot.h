#pragma once

#include "monitor/TrafficStore.h"
#include "runtime/Timestamp.h"

#include <cstdint>
#include <memory>

namespace vq {

class CaptureAdapters;
class Environment;
class FrameView;

// One traffic container and the time up to which it holds data.
class DataRoot {
public:
    DataRoot(int32_t kind, const TrafficStoreFactory& factory);
    virtual ~DataRoot();
    DataRoot(const DataRoot&) = delete;
    DataRoot& operator=(const DataRoot&) = delete;

    // The adapter set reaches the counters when the data set gets it and, for the last sample,
    // again on every tick; nothing counted changes.
    virtual void BindAdapters(const CaptureAdapters& adapters);
    virtual void UpdateAdapters(const CaptureAdapters& adapters);
    void AddPacket(const FrameView& frame);
    // A reset keeps what describes the container and only zeroes counts; a restart drops it too.
    virtual void ResetClear();
    virtual void RestartClear();
    void CopyFrom(const DataRoot& other);
    // Ends as CopyFrom(other) would, by taking the other's counters instead of copying them; the other
    // is left with these, to be cleared by its owner. Both must come from one factory.
    void TakeOver(DataRoot& other);
    void Add(const DataRoot& other);
    // Adds a data root counted on another model: each conversation's tuple is imported into the
    // live model first, all inside one import.
    void Import(const DataRoot& other, Environment& live);

    int32_t GetKind() const { return m_Kind; }
    const Timestamp& GetTime() const { return m_Time; }
    void SetTime(const Timestamp& time) { m_Time = time; }
    TrafficStore* GetTraffic() const { return m_Traffic.get(); }

private:
    int32_t m_Kind;
    Timestamp m_Time;
    std::unique_ptr<TrafficStore> m_Traffic;
};

// The cumulative totals of a data set.
class TotalData : public DataRoot {
public:
    using DataRoot::DataRoot;
};

} // namespace vq
