#include "monitor/MonitorStatistic.h"

#include "netmodel/SafeObject.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorStatistic, MonitorAction)

namespace {

std::string FormatElements(const Object& object, uint32_t flags, int depth) {
    return FormatMember(static_cast<const MonitorStatistic&>(object).GetData(), flags, depth);
}

} // namespace

MonitorStatistic::MonitorStatistic(const void* identifier, int32_t source, int32_t scope, int32_t target,
                                   int32_t dataType, const TimeSpan& period, uint32_t repetitions)
    : MonitorAction(identifier, source, scope, target, dataType, period, repetitions) {
    m_Data = std::make_unique<StatisticArray>();
}

MonitorStatistic::MonitorStatistic(const MonitorStatistic& parent, std::size_t selection)
    : MonitorAction(parent, selection) {
    m_Data = std::make_unique<StatisticArray>();
}

MemberTable MonitorStatistic::Members() {
    static constexpr MemberRow rows[] = {{"StatisticArray", "Element", 50, &FormatElements}};
    return {Class(), rows, &MonitorAction::Members};
}

std::unique_ptr<StatisticElement> MonitorStatistic::NewElement() const {
    return std::make_unique<StatisticElement>(m_Period, m_StatisticMode, m_Evaluation, m_RateBase);
}

bool MonitorStatistic::AddDefaultElement() {
    return BindElement(NewElement());
}

bool MonitorStatistic::AddDiscreteElements() {
    return BuildElements(NewElement());
}

std::unique_ptr<MonitorActionElement>
MonitorStatistic::CreateElement(const MonitorActionElement& templateElement) const {
    return std::make_unique<StatisticElement>(static_cast<const StatisticElement&>(templateElement),
                                              ShallowCopy);
}

} // namespace vq
