#pragma once

#include "runtime/MemberDescription.h"
#include "runtime/Timestamp.h"

#include <array>
#include <cstdint>

namespace vq {

class Conversation;
class FrameView;

// Eleven 64-bit counters (octets, packets, errors, frame-size buckets) and the first and last time
// of the traffic they cover.
class TrafficData : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(TrafficData)

public:
    // The counter numbering 1-11 less one.
    enum Counter : int {
        Octets = 0,
        Packets,
        Errors,
        Under64,
        Size64,
        Size65To127,
        Size128To255,
        Size256To511,
        Size512To1023,
        Size1024To1518,
        SizeOver1518,
        CounterCount
    };
    static constexpr int HalfCount = 2 * CounterCount;

    explicit TrafficData(uint8_t kind = 0);
    // Everything but the kind, which is 0.
    TrafficData(const TrafficData& other);
    TrafficData& operator=(const TrafficData& other) = delete;
    // 22 stored halves, low half first, counters 1 to 11 in order.
    TrafficData(const uint32_t* halves, const Timestamp& first, const Timestamp& last);

    virtual void Set(const uint32_t* halves, const Timestamp& first, const Timestamp& last);
    virtual void Copy(const TrafficData& other);
    // All counters to 0; the times stay.
    virtual void Reset();
    void Clear() { Reset(); }
    virtual void Add(const TrafficData& other);
    virtual void Subtract(const TrafficData& other);
    virtual void AddPacket(const FrameView& frame, const Conversation* conversation);

    // Any of counters 1, 2 and 4-11 below zero; the error counter is not looked at.
    bool HasNegativeCounter() const;

    int64_t Get(Counter counter) const { return m_Counters[size_t(counter)]; }
    uint8_t GetKind() const { return m_Kind; }

    uint8_t m_Kind = 0;
    std::array<int64_t, CounterCount> m_Counters{};
    Timestamp m_FirstTime = MAX_TIME;
    Timestamp m_LastTime = NULL_TIME;

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }
};

} // namespace vq
