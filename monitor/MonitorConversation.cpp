#include "monitor/MonitorConversation.h"

#include "monitor/ConversationElement.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorConversationReply.h"
#include "netmodel/SafeObject.h"
#include "netmodel/Tuple.h"

#include <new>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorConversation, MonitorAction)

namespace {

const MonitorConversation& Action(const Object& object) {
    return static_cast<const MonitorConversation&>(object);
}

std::string FormatBidirectional(const Object& object, uint32_t, int) {
    return FormatMember(Action(object).IsBidirectional(), nullptr);
}

std::string FormatReverseCriteria(const Object& object, uint32_t flags, int depth) {
    return FormatMember(Action(object).GetReverseCriteria(), flags, depth);
}

std::string FormatElements(const Object& object, uint32_t flags, int depth) {
    return FormatMember(Action(object).GetData(), flags, depth);
}

} // namespace

MonitorConversation::MonitorConversation(const void* identifier, int32_t source, int32_t scope,
                                         int32_t target, int32_t dataType, uint32_t options,
                                         const TimeSpan& period, uint32_t repetitions)
    : MonitorAction(identifier, source, scope, target, dataType, period, repetitions),
      m_Bidirectional((options & OPTION_BIDIRECTIONAL) != 0) {
    m_Data = std::make_unique<ConversationArray>();
}

MonitorConversation::MonitorConversation(const MonitorConversation& parent, std::size_t selection)
    : MonitorAction(parent, selection), m_Bidirectional(parent.m_Bidirectional) {
    m_Data = std::make_unique<ConversationArray>();
    if (m_Bidirectional) ReverseCriteria();
}

MonitorConversation::~MonitorConversation() = default;

MemberTable MonitorConversation::Members() {
    static constexpr MemberRow rows[] = {
        {"m_Bidirectional", "2way?", 6, &FormatBidirectional},
        {"m_ReverseCriteria", "RevCrit", 10, &FormatReverseCriteria},
        {"ConversationArray*", "Array", 50, &FormatElements},
    };
    return {Class(), rows, &MonitorAction::Members};
}

void MonitorConversation::AttachTraffic(DataSet& dataSet, const Traffic& traffic) {
    MonitorAction::AttachTraffic(dataSet, traffic);
    Evaluate();
}

const MonitorDataCriteria& MonitorConversation::ReverseCriteria() const {
    if (!m_ReverseCriteria) m_ReverseCriteria = std::make_unique<MonitorDataCriteria>(m_Criteria, true);
    return *m_ReverseCriteria;
}

bool MonitorConversation::Matches(const Tuple& tuple) const {
    if (m_Criteria.Matches(tuple)) return true;
    return m_Bidirectional && ReverseCriteria().Matches(tuple);
}

void MonitorConversation::AddSelection(std::unique_ptr<Tuple> tuple) {
    if (m_Key == 0) m_Key = tuple->GetKey();
    MonitorAction::AddSelection(std::move(tuple));
}

// Every element of the action counts by the action's key kind and direction option.
bool MonitorConversation::BindElement(std::unique_ptr<MonitorActionElement> element) {
    if (auto* conversation = dynamic_cast<ConversationElement*>(element.get())) conversation->SetAction(this);
    return MonitorAction::BindElement(std::move(element));
}

std::unique_ptr<MonitorAction> MonitorConversation::Clone(std::size_t selection) const {
    return std::make_unique<MonitorConversation>(*this, selection);
}

std::unique_ptr<MonitorActionElement>
MonitorConversation::CreateElement(const MonitorActionElement& templateElement) const {
    auto element = std::make_unique<ConversationElement>(
        static_cast<const ConversationElement&>(templateElement), ShallowCopy);
    element->SetAction(this);
    return element;
}

bool MonitorConversation::AddDefaultElement() {
    return BindElement(std::make_unique<ConversationElement>());
}

bool MonitorConversation::AddDiscreteElements() {
    return BuildElements(std::make_unique<ConversationElement>());
}

bool MonitorConversation::Reset(bool force) {
    if (m_DataType == DATA_CUMULATIVE && !force) return false;
    DropSilentItems();
    return MonitorAction::Reset(force);
}

void MonitorConversation::DropSilentItems() {
    const MonitorDataItemDisplay silent(TimeSpan(1), 0, -1);
    const Timestamp now = Timestamp::Now();
    auto drop = [&](const MonitorAction& action) {
        if (action.GetData() && !action.IsDynamic()) action.GetData()->ApplyDisplay(silent, false, now);
    };
    if (m_SubAction)
        for (const auto& sub : *m_SubAction)
            drop(*sub);
    else
        drop(*this);
}

template <typename Message> bool MonitorConversation::SendReply(int32_t mode, const TimeRange& range) {
    auto reply = m_SubAction
                     ? std::make_unique<MonitorConversationReply>(m_Identifier, *m_SubAction, mode, range)
                     : std::make_unique<MonitorConversationReply>(m_Identifier, m_Data.get(), mode, range);
    auto message = std::make_unique<Message>(reply.get(), false, true);
    reply.release();
    if (!message->Send(m_ReplyThread)) return false;
    message.release();
    return true;
}

bool MonitorConversation::SendInitialize() {
    return SendReply<MonitorConversationInitializeMessage>(MODE_INITIALIZE, m_ReplyRange);
}

// Out of memory loses this period's update, nothing more.
bool MonitorConversation::SendUpdate() {
    try {
        return SendReply<MonitorConversationUpdateMessage>(MODE_UPDATE, TimeRange());
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace vq
