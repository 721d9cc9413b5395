#include "monitor/StatisticElement.h"

#include "netmodel/SafeObject.h"
#include "netmodel/Tuple.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(StatisticElement, MonitorActionElement)

namespace {

std::string FormatStatistic(const Object& object, uint32_t flags, int depth) {
    return FormatMember(&static_cast<const StatisticElement&>(object).GetStatistic(), flags, depth);
}

} // namespace

StatisticElement::StatisticElement(const StatisticElement& other, int copyMode)
    : MonitorActionElement(other, copyMode), m_Statistic(other.m_Statistic) {}

MemberTable StatisticElement::Members() {
    static constexpr MemberRow rows[] = {{"MonitorDataStatistic*", "Stat", 40, &FormatStatistic}};
    return {Class(), rows, &MonitorActionElement::Members};
}

StatisticElement::StatisticElement(const TimeSpan& interval, int32_t mode, int32_t evaluation,
                                   double rateBase)
    : MonitorActionElement(&Tuple::InvalidConstant(), PointerAssignment),
      m_Statistic(interval, mode, evaluation, rateBase) {}

void StatisticElement::OnConversation(const Conversation& conversation) {
    m_Statistic.CopyConversation(conversation);
    SetTime(m_Statistic.m_LastTime);
}

void StatisticElement::SetEvaluation(const ActionEvaluation& evaluation) {
    m_Statistic.SetParameters(evaluation.period, evaluation.mode, evaluation.evaluation, evaluation.rateBase,
                              0.0);
}

void StatisticElement::OnData(const FrameView& frame, const Conversation& conversation) {
    m_Statistic.AddPacket(frame, &conversation);
    if (GetTime().Compare(m_Statistic.m_LastTime) > 0) SetTime(m_Statistic.m_LastTime);
}

} // namespace vq
