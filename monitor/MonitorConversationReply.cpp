#include "monitor/MonitorConversationReply.h"

#include "monitor/MonitorActionArray.h"
#include "netmodel/SafeObject.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorConversationReply, MonitorDataReply)

namespace {

std::string FormatElements(const Object& object, uint32_t flags, int depth) {
    return FormatMember(&static_cast<const MonitorConversationReply&>(object).GetArray(), flags, depth);
}

} // namespace

MonitorConversationReply::MonitorConversationReply(const void* identifier, const MonitorActionArray* array,
                                                   int32_t mode, const TimeRange& range)
    : MonitorDataReply(identifier, mode, range) {
    if (!array) return;
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

// A conversation action makes only conversation elements; the copy owns its hosts.
void MonitorConversationReply::AddCopy(const MonitorActionElement& element) {
    m_Array->AddCopy(static_cast<const ConversationElement&>(element), DeepCopy);
}

MemberTable MonitorConversationReply::Members() {
    static constexpr MemberRow rows[] = {{"ConversationArray*", "Array", 50, &FormatElements}};
    return {Class(), rows, &MonitorDataReply::Members};
}

} // namespace vq
