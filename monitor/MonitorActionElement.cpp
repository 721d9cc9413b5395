#include "monitor/MonitorActionElement.h"

#include "netmodel/SafeObject.h"
#include "netmodel/Tuple.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorActionElement, Describable)

MonitorActionElement::MonitorActionElement(Tuple* tuple, int copyMode) {
    SetSelector(tuple, copyMode);
}

MonitorActionElement::MonitorActionElement(const MonitorActionElement& other, int copyMode)
    : Describable(), m_Time(other.m_Time) {
    SetSelector(other.m_Selector, copyMode);
}

MonitorActionElement::~MonitorActionElement() {
    ReleaseSelector();
}

void MonitorActionElement::SetSelector(Tuple* tuple, int copyMode) {
    ReleaseSelector();
    if (!tuple || copyMode == PointerAssignment) {
        m_Selector = tuple;
        return;
    }
    auto* copy = new Tuple(*tuple, copyMode, tuple->GetLive());
    copy->SetOwner(this);
    m_Selector = copy;
    m_OwnsSelector = true;
}

void MonitorActionElement::ReleaseSelector() {
    if (m_OwnsSelector) delete m_Selector;
    m_Selector = nullptr;
    m_OwnsSelector = false;
}

MemberTable MonitorActionElement::Members() {
    static constexpr MemberRow rows[] = {
        {"m_Selector", "Sel", 40,
         [](const Object& object, uint32_t flags, int depth) {
             return FormatMember(static_cast<const MonitorActionElement&>(object).m_Selector, flags, depth);
         }},
    };
    return {Class(), rows};
}

} // namespace vq
