#include "monitor/ConversationElement.h"

#include "monitor/MonitorConversation.h"
#include "netmodel/SafeObject.h"
#include "netmodel/Tuple.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(ConversationElement, MonitorActionElement)
VQ_IMPLEMENT_RUNTIME_CLASS(ConversationArray, MonitorActionArray)

namespace {

std::string FormatList(const Object& object, uint32_t flags, int depth) {
    return FormatMember(&static_cast<const ConversationElement&>(object).GetList(), flags, depth);
}

} // namespace

ConversationElement::ConversationElement()
    : MonitorActionElement(&Tuple::InvalidConstant(), PointerAssignment) {}

ConversationElement::ConversationElement(const ConversationElement& other, int copyMode)
    : MonitorActionElement(other, DeepCopy), m_List(other.m_List, copyMode) {}

ConversationSubject ConversationElement::Subject() const {
    return {m_Action->GetKeyKind(), GetSelector(), m_Action->IsBidirectional()};
}

void ConversationElement::OnConversation(const Conversation& conversation) {
    if (!m_Action) return;
    m_List.AddConversation(conversation, Subject());
    SetTime(m_List.GetLastTrafficTime());
}

void ConversationElement::OnData(const FrameView& frame, const Conversation& conversation) {
    if (!m_Action) return;
    m_List.AddPacket(frame, conversation, Subject());
    SetTime(m_List.GetLastTrafficTime());
}

MemberTable ConversationElement::Members() {
    static constexpr MemberRow rows[] = {{"ConversationList*", "List", 40, &FormatList}};
    return {Class(), rows, &MonitorActionElement::Members};
}

ConversationElement& ConversationArray::AddCopy(const ConversationElement& element, int copyMode) {
    auto copy = std::make_unique<ConversationElement>(element, copyMode);
    return static_cast<ConversationElement&>(Add(std::move(copy), element.GetSelector(), DeepCopy));
}

} // namespace vq
