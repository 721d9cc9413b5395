#pragma once

#include "monitor/ConversationElement.h"
#include "monitor/MonitorAction.h"
#include "monitor/MonitorData.h"

#include <cstddef>
#include <memory>

namespace vq {

class MonitorActionArray;

// What a conversation action sends: a deep copy of its lists, hosts included, so the receiving
// thread reads it without locks and after the action is gone.
class MonitorConversationReply final : public MonitorDataReply {
    VQ_DECLARE_RUNTIME_CLASS(MonitorConversationReply)

public:
    // Every element of a merged action.
    MonitorConversationReply(const void* identifier, const MonitorActionArray* array, int32_t mode,
                             const TimeRange& range);
    // One element per sub-action of a discrete one: its first element, or its template while it
    // has none yet; a sub-action with neither adds nothing.
    MonitorConversationReply(const void* identifier, const MonitorAction::ActionSet& subActions, int32_t mode,
                             const TimeRange& range);

    const ConversationArray& GetArray() const { return *m_Array; }
    std::size_t GetSize() const { return m_Array->GetSize(); }
    const ConversationElement& GetElement(std::size_t index) const { return m_Array->GetAt(index); }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    void AddCopy(const MonitorActionElement& element);

    std::unique_ptr<ConversationArray> m_Array = std::make_unique<ConversationArray>();
};

} // namespace vq
