#include "monitor/ConversationElement.h"

#include "monitor/MonitorConversation.h"
#include "netmodel/SafeObject.h"
#include "netmodel/Tuple.h"

namespace vq {

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

} // namespace vq
