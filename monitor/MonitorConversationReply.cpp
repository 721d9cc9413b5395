#include "monitor/MonitorConversationReply.h"

#include "monitor/MonitorActionArray.h"
#include "netmodel/SafeObject.h"

namespace vq {

MonitorConversationReply::MonitorConversationReply(const void* identifier, const MonitorActionArray* array,
                                                   int32_t mode, const TimeRange& range)
    : MonitorDataReply(identifier, mode, range) {
    if (!array) return;
    m_Array.reserve(array->GetSize());
    for (std::size_t i = 0; i < array->GetSize(); ++i)
        AddCopy(array->Get(i));
}

MonitorConversationReply::MonitorConversationReply(const void* identifier,
                                                   const MonitorAction::ActionSet& subActions, int32_t mode,
                                                   const TimeRange& range)
    : MonitorDataReply(identifier, mode, range) {
    for (const auto& sub : subActions) {
        const MonitorActionArray* array = sub->GetData();
        if (array && array->GetSize() > 0)
            AddCopy(array->Get(0));
        else if (const MonitorActionElement* templateElement = sub->GetTemplateElement())
            AddCopy(*templateElement);
    }
}

void MonitorConversationReply::AddCopy(const MonitorActionElement& element) {
    // A conversation action makes only conversation elements.
    const auto& source = static_cast<const ConversationElement&>(element);
    m_Array.push_back(std::make_unique<ConversationElement>(source, DeepCopy));
}

} // namespace vq
