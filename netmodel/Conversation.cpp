#include "netmodel/Conversation.h"

#include "netmodel/FrameView.h"
#include "netmodel/Tuple.h"

namespace vq {

Conversation::Conversation(uint8_t kind) : m_Kind(kind), m_Traffic(kind) {}

Conversation::Conversation(Tuple* tuple)
    : m_Kind(tuple != nullptr ? tuple->GetLive() : 0), m_Tuple(tuple), m_Traffic(m_Kind) {}

Conversation::Conversation(Tuple* tuple, const uint32_t* halves, const Timestamp& first,
                           const Timestamp& last)
    : m_Tuple(tuple), m_Traffic(halves, first, last) {
    m_FirstTime = first;
    m_LastTime = last;
}

Conversation::Conversation(const Conversation& other, int copyMode) {
    SetFrom(other, copyMode);
}

Conversation::~Conversation() {
    ReleaseTuple();
}

void Conversation::ReleaseTuple() {
    if (m_Tuple != nullptr && m_Tuple->GetOwner() == this) delete m_Tuple;
    m_Tuple = nullptr;
}

void Conversation::TakeTimes() {
    m_FirstTime = m_Traffic.m_FirstTime;
    m_LastTime = m_Traffic.m_LastTime;
}

void Conversation::SetTraffic(const TrafficData& traffic) {
    m_Traffic.Copy(traffic);
    TakeTimes();
}

void Conversation::SetFrom(const Conversation& other, int copyMode) {
    if (copyMode == PointerAssignment) {
        if (m_Tuple != other.m_Tuple) {
            ReleaseTuple();
            m_Tuple = other.m_Tuple;
        }
    } else {
        ReleaseTuple();
        if (other.m_Tuple != nullptr) {
            auto* copy = new Tuple(*other.m_Tuple, copyMode, other.m_Tuple->GetLive());
            copy->SetOwner(this);
            m_Tuple = copy;
        }
    }
    SetTraffic(other.m_Traffic);
}

void Conversation::AddTraffic(const TrafficData& traffic) {
    m_Traffic.Add(traffic);
    TakeTimes();
}

void Conversation::SettleAsCopy() {
    m_Kind = 0;
    m_Traffic.m_Kind = 0;
    TakeTimes();
}

void Conversation::AddPacket(const FrameView& frame) {
    m_LastTime = frame.GetTimeStamp();
    m_Traffic.AddPacket(frame, this);
    if (m_Tuple != nullptr) m_Tuple->AddPacket(frame, this);
}

} // namespace vq
