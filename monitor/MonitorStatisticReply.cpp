#include "monitor/MonitorStatisticReply.h"

#include "netmodel/SafeObject.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorStatisticReply, MonitorDataReply)

namespace {

std::string FormatElements(const Object& object, uint32_t flags, int depth) {
    return FormatMember(static_cast<const MonitorStatisticReply&>(object).GetArray(), flags, depth);
}

} // namespace

MonitorStatisticReply::MonitorStatisticReply(const void* identifier, const MonitorActionArray* elements,
                                             int32_t mode, const TimeRange& range)
    : MonitorDataReply(identifier, mode, range),
      m_Array(elements ? std::make_unique<StatisticArray>(*elements, DeepCopy)
                       : std::make_unique<StatisticArray>()) {}

MonitorStatisticReply::MonitorStatisticReply(const void* identifier,
                                             const MonitorAction::ActionSet& subActions, int32_t mode,
                                             const TimeRange& range)
    : MonitorDataReply(identifier, mode, range), m_Array(std::make_unique<StatisticArray>()) {
    for (const auto& sub : subActions) {
        const MonitorActionArray* elements = sub->GetData();
        if (elements && elements->GetSize() > 0)
            m_Array->AddCopy(StatisticArray::ElementAt(*elements, 0), DeepCopy);
        else if (const MonitorActionElement* element = sub->GetTemplateElement())
            m_Array->AddCopy(static_cast<const StatisticElement&>(*element), DeepCopy);
    }
}

MemberTable MonitorStatisticReply::Members() {
    static constexpr MemberRow rows[] = {{"StatisticArray*", "Element", 50, &FormatElements}};
    return {Class(), rows, &MonitorDataReply::Members};
}

} // namespace vq
