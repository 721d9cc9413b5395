#pragma once

#include "monitor/MonitorActionElement.h"
#include "monitor/MonitorDataStatistic.h"
#include "runtime/MemberDescription.h"

namespace vq {

class HostAddress;

// The traffic between a subject and one partner: the subject's traffic to the partner in the
// primary direction (all traffic of an item without a partner), the partner's traffic to the
// subject in the secondary one.
class ConversationItem : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(ConversationItem)

public:
    // Shares the partner with the live model; null for an item without a partner.
    explicit ConversationItem(HostAddress* partner);
    // Copy modes 1 and 2 give the copy its own copy of the partner, 3 leaves it without one, any
    // other shares it.
    ConversationItem(const ConversationItem& other, int copyMode);
    ConversationItem& operator=(const ConversationItem&) = delete;
    ~ConversationItem();

    HostAddress* GetAddress() const { return m_Address; }
    bool OwnsAddress() const { return m_OwnsAddress; }
    MonitorDataStatistic& GetPrimary() { return m_Primary; }
    MonitorDataStatistic& GetSecondary() { return m_Secondary; }
    const MonitorDataStatistic& GetPrimary() const { return m_Primary; }
    const MonitorDataStatistic& GetSecondary() const { return m_Secondary; }

    void ResetCounters();
    void SetCapacity(double capacity);
    void SetEvaluation(const ActionEvaluation& evaluation, double capacity);
    // Neither direction was seen within the age before now.
    bool IsStale(const TimeSpan& maxAge, const Timestamp& now) const;

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    void ReleaseAddress();

    HostAddress* m_Address = nullptr;
    bool m_OwnsAddress = false;
    MonitorDataStatistic m_Primary{1};
    MonitorDataStatistic m_Secondary{1};
};

} // namespace vq
