#include "monitor/MonitorActionArray.h"

#include "netmodel/Tuple.h"
#include "platform/core/Format.h"

#include <algorithm>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorActionArray, Describable)

int32_t MonitorActionArray::ApplyDisplay(const MonitorDataItemDisplay& display, bool dynamic,
                                         const Timestamp& now) {
    const bool ageLimit = display.GetMaxAge().GetTicks() > 0;
    if (!ageLimit && display.GetMaxCount() == -1) return 0;
    const int32_t minCount = display.GetMinCount();
    int32_t removed = 0;
    if (!dynamic) {
        const int32_t limit = CountItems() - minCount;
        for (auto& element : m_Elements) {
            if (removed >= limit) break;
            removed += element->Trim(display, now, limit - removed);
        }
        return removed;
    }

    const int32_t limit = int32_t(m_Elements.size()) - minCount;
    std::erase_if(m_Elements, [](const auto& element) { return element->GetTime() == NULL_TIME; });
    if (ageLimit) {
        std::erase_if(m_Elements, [&](const auto& element) {
            if (removed >= limit) return false;
            const bool old = (now - element->GetTime()).GetTicks() >= display.GetMaxAge().GetTicks();
            removed += old ? 1 : 0;
            return old;
        });
    }
    if (display.GetMaxCount() != -1) {
        const int32_t excess =
            std::min<int32_t>(int32_t(m_Elements.size()) - display.GetMaxCount(), limit - removed);
        if (excess > 0) {
            m_Elements.erase(m_Elements.begin(), m_Elements.begin() + excess);
            removed += excess;
        }
    }
    Reindex();
    return removed;
}

int32_t MonitorActionArray::CountItems() const {
    int32_t count = 0;
    for (const auto& element : m_Elements)
        count += element->GetItemCount();
    return count;
}

void MonitorActionArray::OnConversation(const Conversation& conversation) {
    for (auto& element : m_Elements)
        element->OnConversation(conversation);
}

void MonitorActionArray::OnData(const FrameView& frame, const Conversation& item) {
    for (auto& element : m_Elements)
        element->OnData(frame, item);
}

void MonitorActionArray::Evaluate() {
    for (auto& element : m_Elements)
        element->Evaluate();
}

void MonitorActionArray::Reset() {
    for (auto& element : m_Elements)
        element->Reset();
}

void MonitorActionArray::SetCapacity(double capacity) {
    for (auto& element : m_Elements)
        element->SetCapacity(capacity);
}

void MonitorActionArray::SetEvaluation(const ActionEvaluation& evaluation) {
    for (auto& element : m_Elements)
        element->SetEvaluation(evaluation);
}

MonitorActionElement& MonitorActionArray::Add(std::unique_ptr<MonitorActionElement> element, Tuple* tuple,
                                              int copyMode) {
    element->SetIndex(int32_t(m_Elements.size()));
    element->SetSelector(tuple, copyMode);
    m_Elements.push_back(std::move(element));
    return *m_Elements.back();
}

MonitorActionElement* MonitorActionArray::FindBySelector(const Tuple& tuple) const {
    for (const auto& element : m_Elements) {
        const Tuple* selector = element->GetSelector();
        if (selector && selector->Matches(tuple, selector->GetKey())) return element.get();
    }
    return nullptr;
}

void MonitorActionArray::Reindex() {
    for (std::size_t i = 0; i < m_Elements.size(); ++i)
        m_Elements[i]->SetIndex(int32_t(i));
}

const char* MonitorActionArray::ModeName(int32_t mode) {
    switch (mode) {
    case MODE_UNSET:
        return "MODE_UNSET";
    case MODE_FIXED:
        return "MODE_FIXED";
    case MODE_VARIABLE:
        return "MODE_VARIABLE";
    default:
        return "mode?";
    }
}

std::string MonitorActionArray::DescribeMembers(uint32_t flags, int depth, bool) const {
    std::string text = Describable::DescribeMembers(flags, depth, false);
    text += DescribeCount(m_Elements.size());
    const uint32_t naming = flags & DescribeNamingMask;
    const bool named = naming == 0 || naming == 3;
    for (std::size_t i = 0; i < m_Elements.size(); ++i) {
        text += named ? Format("\nIndex=<%d>\n", int(i)) : Format("\n%d\n", int(i));
        text += m_Elements[i]->DescribeObject(flags, depth + 1);
    }
    return text;
}

MemberTable MonitorActionArray::Members() {
    static constexpr MemberRow rows[] = {
        {"m_Mode", "Mode", 14,
         [](const Object& object, uint32_t, int) -> std::string {
             return ModeName(static_cast<const MonitorActionArray&>(object).m_Mode);
         }},
    };
    return {Class(), rows};
}

} // namespace vq
