#include "netmodel/TrafficData.h"

#include "netmodel/FrameView.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TrafficData, Describable)

namespace {

// Counters wrap in 64 bits as the stored history expects; done unsigned to stay defined.
int64_t Wrapped(int64_t a, int64_t b, bool subtract) {
    const uint64_t x = uint64_t(a), y = uint64_t(b);
    return int64_t(subtract ? x - y : x + y);
}

TrafficData::Counter BucketOf(uint32_t length) {
    if (length < 64) return TrafficData::Under64;
    if (length == 64) return TrafficData::Size64;
    if (length < 128) return TrafficData::Size65To127;
    if (length < 256) return TrafficData::Size128To255;
    if (length < 512) return TrafficData::Size256To511;
    if (length < 1024) return TrafficData::Size512To1023;
    if (length < 1518) return TrafficData::Size1024To1518;
    return TrafficData::SizeOver1518;
}

template <int Counter> std::string FormatCounter(const Object& object, uint32_t, int) {
    return FormatMember(static_cast<const TrafficData&>(object).m_Counters[Counter], "%lld");
}

} // namespace

TrafficData::TrafficData(uint8_t kind) : m_Kind(kind) {}

TrafficData::TrafficData(const TrafficData& other)
    : Describable(), m_Counters(other.m_Counters), m_FirstTime(other.m_FirstTime),
      m_LastTime(other.m_LastTime) {}

TrafficData::TrafficData(const uint32_t* halves, const Timestamp& first, const Timestamp& last) {
    TrafficData::Set(halves, first, last);
}

void TrafficData::Set(const uint32_t* halves, const Timestamp& first, const Timestamp& last) {
    for (int i = 0; i < CounterCount; ++i)
        m_Counters[size_t(i)] = int64_t(uint64_t(halves[2 * i + 1]) << 32 | halves[2 * i]);
    m_FirstTime = first;
    m_LastTime = last;
}

void TrafficData::Copy(const TrafficData& other) {
    m_Counters = other.m_Counters;
    m_FirstTime = other.m_FirstTime;
    m_LastTime = other.m_LastTime;
}

void TrafficData::Reset() {
    m_Counters.fill(0);
}

void TrafficData::Add(const TrafficData& other) {
    for (size_t i = 0; i < m_Counters.size(); ++i)
        m_Counters[i] = Wrapped(m_Counters[i], other.m_Counters[i], false);
    if (other.m_FirstTime.Compare(m_FirstTime) == 1) m_FirstTime = other.m_FirstTime;
    if (other.m_LastTime.Compare(m_LastTime) == -1) m_LastTime = other.m_LastTime;
}

void TrafficData::Subtract(const TrafficData& other) {
    for (size_t i = 0; i < m_Counters.size(); ++i)
        m_Counters[i] = Wrapped(m_Counters[i], other.m_Counters[i], true);
}

void TrafficData::AddPacket(const FrameView& frame, const Conversation*) {
    m_LastTime = frame.GetTimeStamp();
    const uint32_t length = frame.GetFrameLength();
    m_Counters[Octets] = Wrapped(m_Counters[Octets], length, false);
    m_Counters[Packets] = Wrapped(m_Counters[Packets], 1, false);
    m_Counters[Errors] = 0;
    const Counter bucket = BucketOf(length);
    m_Counters[size_t(bucket)] = Wrapped(m_Counters[size_t(bucket)], 1, false);
}

bool TrafficData::HasNegativeCounter() const {
    for (int i = 0; i < CounterCount; ++i)
        if (i != Errors && m_Counters[size_t(i)] < 0) return true;
    return false;
}

MemberTable TrafficData::Members() {
    static constexpr MemberRow rows[] = {
        {"m_Octets", "Octets", 8, &FormatCounter<Octets>},
        {"m_Packets", "Packets", 8, &FormatCounter<Packets>},
        {"under64", "<64", 8, &FormatCounter<Under64>},
        {"64", "64", 8, &FormatCounter<Size64>},
        {"65to127", "65-127", 8, &FormatCounter<Size65To127>},
        {"128to255", "128-255", 8, &FormatCounter<Size128To255>},
        {"256to511", "256-511", 8, &FormatCounter<Size256To511>},
        {"512to1023", "512-1023", 8, &FormatCounter<Size512To1023>},
        {"1024to1518", "1024-1518", 8, &FormatCounter<Size1024To1518>},
        {"over1518", ">1518", 8, &FormatCounter<SizeOver1518>},
    };
    return {Class(), rows};
}

} // namespace vq
