#pragma once

#include "monitor/MonitorActionElement.h"
#include "monitor/MonitorDataStatistic.h"

#include <cstdint>

namespace vq {

class Conversation;
class FrameView;

// An element whose result is one statistic, kept up to date frame by frame.
class StatisticElement : public MonitorActionElement {
    VQ_DECLARE_RUNTIME_CLASS(StatisticElement)

public:
    // A copy of the other's statistic with its parameters; the selector by copy mode.
    StatisticElement(const StatisticElement& other, int copyMode);
    // Selects nothing of its own (the shared invalid tuple) until an action binds it.
    StatisticElement(const TimeSpan& interval, int32_t mode, int32_t evaluation, double rateBase);

    void SetIndex(int32_t index) override { m_Statistic.SetIndex(index); }
    void OnConversation(const Conversation& conversation) override;
    void Evaluate() override {}
    void Reset() override { m_Statistic.TrafficData::Reset(); }
    void SetCapacity(double capacity) override { m_Statistic.SetCapacity(capacity); }
    void SetEvaluation(const ActionEvaluation& evaluation) override;

    // Counts every frame that reaches the element: the tuples' action sets and the dynamic lookup
    // hand it only frames of its selections.
    void OnData(const FrameView& frame, const Conversation& conversation) override;
    virtual void SetRateBase(double rateBase) { m_Statistic.SetRateBase(rateBase); }

    const MonitorDataStatistic& GetStatistic() const { return m_Statistic; }
    MonitorDataStatistic& GetStatistic() { return m_Statistic; }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    MonitorDataStatistic m_Statistic;
};

} // namespace vq
