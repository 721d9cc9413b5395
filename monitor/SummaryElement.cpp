#include "monitor/SummaryElement.h"

#include "netmodel/Conversation.h"
#include "netmodel/SafeObject.h"
#include "netmodel/Tuple.h"

#include <memory>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(SummaryElement, MonitorActionElement)
VQ_IMPLEMENT_RUNTIME_CLASS(SummaryArray, MonitorActionArray)

namespace {

std::string FormatList(const Object& object, uint32_t flags, int depth) {
    return FormatMember(&static_cast<const SummaryElement&>(object).GetList(), flags, depth);
}

} // namespace

SummaryElement::SummaryElement(const SummaryList& list)
    : MonitorActionElement(&Tuple::InvalidConstant(), PointerAssignment), m_List(list) {}

SummaryElement::SummaryElement(const SummaryElement& other, int copyMode)
    : MonitorActionElement(other, copyMode), m_List(other.m_List), m_Key(other.m_Key) {}

MemberTable SummaryElement::Members() {
    static constexpr MemberRow rows[] = {{"SummaryList*", "List", 40, &FormatList}};
    return {Class(), rows, &MonitorActionElement::Members};
}

void SummaryElement::SetEvaluation(const ActionEvaluation& evaluation) {
    m_List.SetEvaluation(evaluation.period, evaluation.mode, evaluation.evaluation, evaluation.rateBase, 0.0);
}

void SummaryElement::OnData(const FrameView& frame, const Conversation& conversation) {
    m_List.OnData(frame, conversation, m_Key, GetSelector());
    if (GetTime().Compare(conversation.m_LastTime) == 1) SetTime(conversation.m_LastTime);
}

void SummaryElement::AddItems(const SummaryElement& other) {
    const std::size_t common = std::min(m_List.GetCount(), other.m_List.GetCount());
    for (std::size_t i = 0; i < common; ++i)
        m_List.GetAt(i).GetStatistic().Add(other.m_List.GetAt(i).GetStatistic());
}

SummaryArray::SummaryArray(const MonitorActionArray& array, int copyMode) {
    for (std::size_t i = 0; i < array.GetSize(); ++i)
        AddCopy(static_cast<const SummaryElement&>(array.Get(i)), copyMode);
}

SummaryElement& SummaryArray::AddCopy(const SummaryElement& element, int copyMode) {
    auto copy = std::make_unique<SummaryElement>(element, copyMode);
    return static_cast<SummaryElement&>(Add(std::move(copy), element.GetSelector(), copyMode));
}

} // namespace vq
