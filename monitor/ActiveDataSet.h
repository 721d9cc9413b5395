#pragma once

#include "capture/Packet.h"
#include "monitor/DataSet.h"

#include <cstdint>

namespace vq {

class Environment;
class FrameView;

// The monitor's live data: every frame of the running update step, the last complete step, the
// totals and a growing ring of intervals. Frames touch only the running step; the intervals and
// the totals change on the tick. It is where the adapters deliver every analysed frame.
class ActiveDataSet : public DataSet, public PacketSink {
public:
    static constexpr int64_t kDefaultHistoryMs = 86'400'000;
    static constexpr int64_t kDefaultIntervalMs = 300'000;
    static constexpr int64_t kDefaultUpdateStepMs = 500;

    enum Flags : uint32_t { FLAG_TOTAL = 1, FLAG_LAST_SAMPLE = 2, FLAG_RING = 8 };

    // Zero spans stand for the defaults. Fails with std::bad_alloc when the ring would hold fewer
    // than two intervals or the update step is not positive.
    ActiveDataSet(const TimeSpan& history, const TimeSpan& interval, const TimeSpan& updateStep,
                  const TrafficStoreFactory& factory = {});

    HistoryBuffer* GetRing() const override { return &m_Ring; }
    // The running step and the last sample get the adapter set too, and the last sample gets it
    // again on every tick.
    void SetAdapters(const CaptureAdapters& adapters) override;

    void AddPacket(const FrameView& frame) { m_Latest.AddPacket(frame); }
    bool AddPacket(Packet& packet) override {
        AddPacket(static_cast<const FrameView&>(packet));
        return true;
    }
    // Once per update step: the running step becomes the last sample and is added to the current
    // interval and the totals.
    void Tick(const Timestamp& now);
    void AdvanceInterval() { m_Ring.Advance(); }
    void AdvanceInterval(const Timestamp& now) { m_Ring.AdvanceTo(now); }
    // From the time (now when null) to the next multiple of the update step that lies at least half
    // a step away.
    TimeSpan TimeToNextUpdate(const Timestamp& time = NULL_TIME) const;
    void Reset(uint32_t flags);
    void Restart(uint32_t flags);
    // Imports the other set's intervals slot by slot into this ring, inside one import of the live
    // model, up to the first slot the other set never filled.
    void ImportRing(const DataSet& other, Environment& live);

    const TimeSpan& GetUpdateStep() const { return m_UpdateStep; }
    IntervalData& GetLatest() { return m_Latest; }
    const IntervalData& GetLastSample() const { return m_LastSample; }

private:
    mutable HistoryBuffer m_Ring;
    IntervalData m_Latest;
    TimeSpan m_UpdateStep;
    IntervalData m_LastSample;
    // The monitor's adapter set: it is made before the data set and ticks stop before it goes.
    const CaptureAdapters* m_Adapters = nullptr;
};

} // namespace vq
