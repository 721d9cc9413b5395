#pragma once

#include "monitor/ConversationList.h"
#include "monitor/MonitorActionArray.h"
#include "monitor/MonitorActionElement.h"

#include <cstddef>
#include <cstdint>

namespace vq {

class FrameView;
class MonitorConversation;

// One element of a conversation action: the list of its partners. A new element stands for the
// invalid constant tuple until an action binds it to a selection.
class ConversationElement final : public MonitorActionElement {
    VQ_DECLARE_RUNTIME_CLASS(ConversationElement)

public:
    ConversationElement();
    // The selector is always copied; the list by the copy mode. The copy belongs to no action.
    ConversationElement(const ConversationElement& other, int copyMode);

    // The action whose key kind and direction option the list counts by.
    void SetAction(const MonitorConversation* action) { m_Action = action; }
    const ConversationList& GetList() const { return m_List; }

    void SetIndex(int32_t index) override { m_List.SetIndex(index); }
    void OnConversation(const Conversation& conversation) override;
    void Evaluate() override {}
    void Reset() override { m_List.ResetCounters(); }
    void SetCapacity(double capacity) override { m_List.SetCapacity(capacity); }
    void SetEvaluation(const ActionEvaluation& evaluation) override { m_List.SetEvaluation(evaluation); }
    void OnData(const FrameView& frame, const Conversation& conversation) override;
    int32_t Trim(const MonitorDataItemDisplay& display, const Timestamp& now, int32_t limit) override {
        return m_List.Trim(display, now, limit);
    }
    int32_t GetItemCount() const override { return int32_t(m_List.GetSize()); }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    ConversationSubject Subject() const;

    const MonitorConversation* m_Action = nullptr;
    ConversationList m_List;
};

// The elements of a conversation action or of its reply, each a ConversationElement.
class ConversationArray final : public MonitorActionArray {
    VQ_DECLARE_RUNTIME_CLASS(ConversationArray)

public:
    // Appends a copy: the selector copied, the list by the copy mode.
    ConversationElement& AddCopy(const ConversationElement& element, int copyMode);
    ConversationElement& GetAt(std::size_t index) const {
        return static_cast<ConversationElement&>(Get(index));
    }
};

} // namespace vq
