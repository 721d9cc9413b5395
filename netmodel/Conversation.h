#pragma once

#include "netmodel/TAO.h"
#include "netmodel/TrafficData.h"

#include <cstdint>

namespace vq {

class FrameView;
class Tuple;

// The counters of one traffic key. Owns its tuple only when the tuple's owner is this conversation.
class Conversation final : public TAO {
public:
    explicit Conversation(uint8_t kind = 0);
    // Shares the tuple; the kinds follow its live flag.
    explicit Conversation(Tuple* tuple);
    // As read back from the history: shared tuple, stored counters, and the TAO times set.
    Conversation(Tuple* tuple, const uint32_t* halves, const Timestamp& first, const Timestamp& last);
    Conversation(const Conversation& other, int copyMode);
    ~Conversation() override;
    Conversation(const Conversation&) = delete;
    Conversation& operator=(const Conversation&) = delete;

    Tuple* GetTuple() const override { return m_Tuple; }
    void ReleaseTuple();

    void ResetTraffic() { m_Traffic.Reset(); }
    void ClearTraffic() { m_Traffic.Clear(); }
    void SetTraffic(const TrafficData& traffic);
    // Copy mode 4 shares the other's tuple; any other mode makes an owned copy in that mode.
    void SetFrom(const Conversation& other, int copyMode);
    void AddTraffic(const TrafficData& traffic);
    void AddConversation(const Conversation& other) { AddTraffic(other.m_Traffic); }
    void SubtractTraffic(const TrafficData& traffic) { m_Traffic.Subtract(traffic); }
    void SubtractConversation(const Conversation& other) { m_Traffic.Subtract(other.m_Traffic); }
    void AddPacket(const FrameView& frame);
    // What a copy of this conversation (any copy mode) would hold: kinds 0, times of the counters.
    void SettleAsCopy();

    const TrafficData& GetTraffic() const { return m_Traffic; }

    uint8_t m_Kind = 0;

private:
    void TakeTimes();

    Tuple* m_Tuple = nullptr;
    TrafficData m_Traffic;
};

} // namespace vq
