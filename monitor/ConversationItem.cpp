#include "monitor/ConversationItem.h"

#include "netmodel/HostAddress.h"
#include "netmodel/SafeObject.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(ConversationItem, Describable)

namespace {

const ConversationItem& Item(const Object& object) {
    return static_cast<const ConversationItem&>(object);
}

std::string FormatAddress(const Object& object, uint32_t, int) {
    return FormatMember(static_cast<const void*>(Item(object).GetAddress()), "$%p");
}

std::string FormatPrimary(const Object& object, uint32_t flags, int depth) {
    return FormatMember(&Item(object).GetPrimary(), flags, depth);
}

std::string FormatSecondary(const Object& object, uint32_t flags, int depth) {
    return FormatMember(&Item(object).GetSecondary(), flags, depth);
}

} // namespace

ConversationItem::ConversationItem(HostAddress* partner) : m_Address(partner) {}

ConversationItem::ConversationItem(const ConversationItem& other, int copyMode)
    : Describable(), m_Primary(other.m_Primary), m_Secondary(other.m_Secondary) {
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

MemberTable ConversationItem::Members() {
    static constexpr MemberRow rows[] = {
        {"m_Address", "HstAddr", 8, &FormatAddress},
        {"m_Primary", "Primary", 40, &FormatPrimary},
        {"m_Secondary", "Secondary", 40, &FormatSecondary},
    };
    return {Class(), rows};
}

} // namespace vq
