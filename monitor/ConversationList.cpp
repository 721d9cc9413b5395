#include "monitor/ConversationList.h"

#include "monitor/MonitorData.h"
#include "netmodel/Conversation.h"
#include "netmodel/HostAddress.h"
#include "netmodel/Tuple.h"

#include <algorithm>
#include <unordered_set>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(ConversationList, DescribableCollection)

namespace {

std::string FormatIndex(const Object& object, uint32_t, int) {
    return FormatMember(static_cast<const ConversationList&>(object).GetIndex(), "%d");
}

bool IsWildcardHost(const HostAddress* host) {
    return host == nullptr || host->GetValidVector() == 0;
}

bool SameHost(const HostAddress& a, const HostAddress& b) {
    return &a == &b || a == b;
}

HostAddress* HostOrInvalidHost(HostAddress* host) {
    return host != nullptr ? host : &HostAddress::Invalid();
}

} // namespace

ConversationList::ConversationList(const ConversationList& other, int copyMode)
    : m_Index(other.m_Index), m_Evaluation(other.m_Evaluation), m_Capacity(other.m_Capacity),
      m_Evaluated(other.m_Evaluated) {
    m_Items.reserve(other.m_Items.size());
    for (const auto& item : other.m_Items)
        m_Items.push_back(std::make_unique<ConversationItem>(*item, copyMode));
}

ConversationList::Found ConversationList::FindItem(const Conversation& conversation,
                                                   const ConversationSubject& subject) {
    const Tuple* tuple = conversation.GetTuple();
    if (!tuple) return {};
    const int32_t key = subject.key;
    if (key == KEY_Source || key == KEY_Destination) {
        const HostAddress* wanted = subject.selector ? subject.selector->GetKeyHost(key) : nullptr;
        const HostAddress& own = HostOrInvalid(tuple->GetKeyHost(key));
        const int32_t otherSide = key == KEY_Source ? KEY_Destination : KEY_Source;
        const HostAddress& other = HostOrInvalid(tuple->GetKeyHost(otherSide));
        if (IsWildcardHost(wanted) || SameHost(own, *wanted))
            return {&ItemFor(HostOrInvalidHost(tuple->GetKeyHost(otherSide))), false};
        if (subject.bidirectional && SameHost(other, *wanted))
            return {&ItemFor(HostOrInvalidHost(tuple->GetKeyHost(key))), true};
        return {};
    }
    const uint32_t wanted = subject.selector ? subject.selector->GetKeyValue(key) : 0;
    const uint32_t any = key == KEY_Interface ? NoInterface : 0;
    if (wanted != any && tuple->GetKeyValue(key) != wanted) return {};
    return {&ItemFor(nullptr), false};
}

// A partner seen for the first time gets a new item at the end of the list.
ConversationItem& ConversationList::ItemFor(HostAddress* partner) {
    if (!partner) {
        if (!m_Items.empty()) return *m_Items.front();
    } else if (const auto known = m_ByHost.find(partner); known != m_ByHost.end()) {
        return *known->second;
    } else if (ConversationItem* found = FindByHost(*partner)) {
        m_ByHost.emplace(partner, found);
        return *found;
    }
    auto item = std::make_unique<ConversationItem>(partner);
    if (m_Evaluated)
        item->SetEvaluation(m_Evaluation, m_Capacity);
    else
        item->SetCapacity(m_Capacity);
    m_Items.push_back(std::move(item));
    ConversationItem& added = *m_Items.back();
    if (partner) m_ByHost.emplace(partner, &added);
    return added;
}

ConversationItem* ConversationList::FindByHost(const HostAddress& host) const {
    for (const auto& item : m_Items)
        if (item->GetAddress() && SameHost(*item->GetAddress(), host)) return item.get();
    return nullptr;
}

void ConversationList::AddConversation(const Conversation& conversation, const ConversationSubject& subject) {
    const Found found = FindItem(conversation, subject);
    if (!found.item) return;
    MonitorDataStatistic& direction = found.secondary ? found.item->GetSecondary() : found.item->GetPrimary();
    direction.TrafficData::Add(conversation.GetTraffic());
    RaiseLastTrafficTime(conversation.m_LastTime);
}

void ConversationList::AddPacket(const FrameView& frame, const Conversation& conversation,
                                 const ConversationSubject& subject) {
    const Found found = FindItem(conversation, subject);
    if (!found.item) return;
    MonitorDataStatistic& direction = found.secondary ? found.item->GetSecondary() : found.item->GetPrimary();
    // The items' statistics have no element index: they count every frame the list gives them.
    direction.CountPacket(frame, conversation, 0, nullptr);
    RaiseLastTrafficTime(conversation.m_LastTime);
}

void ConversationList::RaiseLastTrafficTime(const Timestamp& time) {
    if (time.Compare(m_LastTrafficTime) == -1) m_LastTrafficTime = time;
}

void ConversationList::ResetCounters() {
    for (auto& item : m_Items)
        item->ResetCounters();
}

void ConversationList::SetCapacity(double capacity) {
    m_Capacity = capacity;
    for (auto& item : m_Items)
        item->SetCapacity(capacity);
}

void ConversationList::SetEvaluation(const ActionEvaluation& evaluation) {
    m_Evaluation = evaluation;
    m_Evaluated = true;
    for (auto& item : m_Items)
        item->SetEvaluation(evaluation, m_Capacity);
}

int32_t ConversationList::Trim(const MonitorDataItemDisplay& display, const Timestamp& now, int32_t limit) {
    const TimeSpan& maxAge = display.GetMaxAge();
    if (maxAge.GetTicks() <= 0 && display.GetMaxCount() == -1) return 0;
    std::unordered_set<const ConversationItem*> stale;
    for (const auto& item : m_Items) {
        if (int32_t(stale.size()) >= limit) break;
        if (item->IsStale(maxAge, now)) stale.insert(item.get());
    }
    if (stale.empty()) return 0;
    std::erase_if(m_ByHost, [&](const auto& entry) { return stale.contains(entry.second); });
    std::erase_if(m_Items, [&](const auto& item) { return stale.contains(item.get()); });
    return int32_t(stale.size());
}

MemberTable ConversationList::Members() {
    static constexpr MemberRow rows[] = {{"m_Index", "Index", 6, &FormatIndex}};
    return {Class(), rows};
}

} // namespace vq
