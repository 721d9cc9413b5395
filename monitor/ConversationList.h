#pragma once

#include "monitor/ConversationItem.h"
#include "monitor/MonitorActionElement.h"
#include "runtime/MemberDescription.h"
#include "runtime/Timestamp.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vq {

class Conversation;
class FrameView;
class MonitorDataItemDisplay;
class Tuple;

// What a list counts against: the key kind of its action, the subject that its element's selector
// holds for that kind, and whether the partner's traffic to the subject counts too.
struct ConversationSubject {
    int32_t key = 0;
    const Tuple* selector = nullptr;
    bool bidirectional = false;
};

// The items of one element of a conversation action, one per partner, in the order the partners
// were first seen. The list owns its items.
class ConversationList : public DescribableCollection {
    VQ_DECLARE_RUNTIME_CLASS(ConversationList)

public:
    ConversationList() = default;
    // Keeps the index; the copy has not seen traffic yet.
    ConversationList(const ConversationList& other, int copyMode);
    ConversationList& operator=(const ConversationList&) = delete;

    void SetIndex(int32_t index) { m_Index = index; }
    void AddConversation(const Conversation& conversation, const ConversationSubject& subject);
    void AddPacket(const FrameView& frame, const Conversation& conversation,
                   const ConversationSubject& subject);
    void ResetCounters();
    void SetCapacity(double capacity);
    void SetEvaluation(const ActionEvaluation& evaluation);
    // Removes stale items front to back, at most `limit`; answers how many went.
    int32_t Trim(const MonitorDataItemDisplay& display, const Timestamp& now, int32_t limit);

    int32_t GetIndex() const { return m_Index; }
    const Timestamp& GetLastTrafficTime() const { return m_LastTrafficTime; }
    std::size_t GetSize() const { return m_Items.size(); }
    const ConversationItem& Get(std::size_t index) const { return *m_Items[index]; }
    // The first item whose partner equals the host.
    ConversationItem* FindByHost(const HostAddress& host) const;

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }
    std::size_t DescribedCount() const override { return m_Items.size(); }
    const Describable& DescribedElement(std::size_t index) const override { return *m_Items[index]; }

private:
    struct Found {
        ConversationItem* item = nullptr;
        bool secondary = false;
    };

    // The item and direction that count the conversation; no item when this list does not count it.
    Found FindItem(const Conversation& conversation, const ConversationSubject& subject);
    ConversationItem& ItemFor(HostAddress* partner);
    void RaiseLastTrafficTime(const Timestamp& time);

    std::vector<std::unique_ptr<ConversationItem>> m_Items;
    // The item of every partner host object met so far, so that a frame finds its item without
    // walking the list; the walk (by value) only runs for a host object not met before.
    std::unordered_map<const HostAddress*, ConversationItem*> m_ByHost;
    int32_t m_Index = -1;
    Timestamp m_LastTrafficTime;
    // Given to the items made later too, so that every item evaluates alike.
    ActionEvaluation m_Evaluation;
    double m_Capacity = 0.0;
    bool m_Evaluated = false;
};

} // namespace vq
