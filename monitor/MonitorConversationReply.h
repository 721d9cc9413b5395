#pragma once

#include "monitor/ConversationElement.h"
#include "monitor/MonitorAction.h"
#include "monitor/MonitorData.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace vq {

class MonitorActionArray;

// What a conversation action sends: a deep copy of its lists, hosts included, so the receiving
// thread reads it without locks and after the action is gone.
class MonitorConversationReply final : public MonitorDataReply {
public:
    // Every element of a merged action.
    MonitorConversationReply(const void* identifier, const MonitorActionArray* array, int32_t mode,
                             const TimeRange& range);
    // One element per sub-action of a discrete one: its first element, or its template while it
    // has none yet; a sub-action with neither adds nothing.
    MonitorConversationReply(const void* identifier, const MonitorAction::ActionSet& subActions, int32_t mode,
                             const TimeRange& range);

    std::size_t GetSize() const { return m_Array.size(); }
    const ConversationElement& GetElement(std::size_t index) const { return *m_Array[index]; }

private:
    void AddCopy(const MonitorActionElement& element);

    std::vector<std::unique_ptr<ConversationElement>> m_Array;
};

} // namespace vq
