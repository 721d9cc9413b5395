#pragma once

#include "monitor/ConversationList.h"
#include "monitor/MonitorActionElement.h"

#include <cstdint>

namespace vq {

class FrameView;
class MonitorConversation;

// One element of a conversation action: the list of its partners. A new element stands for the
// invalid constant tuple until an action binds it to a selection.
class ConversationElement final : public MonitorActionElement {
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

private:
    ConversationSubject Subject() const;

    const MonitorConversation* m_Action = nullptr;
    ConversationList m_List;
};

} // namespace vq
