#include "monitor/ConversationItem.h"

#include "netmodel/HostAddress.h"
#include "netmodel/SafeObject.h"

namespace vq {

ConversationItem::ConversationItem(HostAddress* partner) : m_Address(partner) {}

ConversationItem::ConversationItem(const ConversationItem& other, int copyMode)
    : m_Primary(other.m_Primary), m_Secondary(other.m_Secondary) {
    if (!other.m_Address) return;
    if (copyMode == ShallowCopy || copyMode == DeepCopy) {
        m_Address = new HostAddress(*other.m_Address, copyMode);
        m_Address->SetOwner(this);
        m_OwnsAddress = true;
    } else if (copyMode != NullCopy) {
        m_Address = other.m_Address;
    }
}

ConversationItem::~ConversationItem() {
    ReleaseAddress();
}

// A shared host is never looked at here: the live model may already be gone.
void ConversationItem::ReleaseAddress() {
    if (m_OwnsAddress) delete m_Address;
    m_Address = nullptr;
    m_OwnsAddress = false;
}

void ConversationItem::ResetCounters() {
    m_Primary.Reset();
    m_Secondary.Reset();
}

void ConversationItem::SetCapacity(double capacity) {
    m_Primary.SetCapacity(capacity);
    m_Secondary.SetCapacity(capacity);
}

void ConversationItem::SetEvaluation(const ActionEvaluation& evaluation, double capacity) {
    for (MonitorDataStatistic* statistic : {&m_Primary, &m_Secondary})
        statistic->SetParameters(evaluation.period, evaluation.mode, evaluation.evaluation,
                                 evaluation.rateBase, capacity);
}

bool ConversationItem::IsStale(const TimeSpan& maxAge, const Timestamp& now) const {
    auto seenWithin = [&](const TrafficData& direction) {
        return (now - direction.m_LastTime).Compare(maxAge) == 1;
    };
    return !seenWithin(m_Primary) && !seenWithin(m_Secondary);
}

} // namespace vq
