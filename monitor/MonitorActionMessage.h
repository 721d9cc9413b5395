#pragma once

#include "monitor/AnswerCopy.h"
#include "monitor/MonitorData.h"
#include "runtime/MessageIds.h"
#include "runtime/ThreadMessage.h"

#include <cstdint>
#include <memory>

namespace vq {

class MonitorAction;
class ThreadObject;

// Takes an action to the monitor for installation. The action stays its requester's until a
// thread accepts the request; from then on the request holds it for that thread until its install
// handler takes it. So a request dropped on the way (marked for deletion on receipt, freed with the
// message pool at exit, or accepted by a thread that does not install actions) deletes the action
// it carries, and a refused send leaves it with the requester.
class MonitorActionRequestMessage : public ThreadMessage {
public:
    ~MonitorActionRequestMessage() override;
    MonitorAction* GetAction() const { return m_Action; }
    // The old action is left to the caller.
    void SetAction(MonitorAction* action) { m_Action = action; }
    std::unique_ptr<MonitorAction> TakeAction();
    bool Receive(std::uint32_t newState = 0) override;
    // The via thread becomes the action's reply thread.
    bool PostVia(ThreadObject* via, ThreadObject* destination) override;
    const char* GetClassName() const override { return "MonitorActionRequestMessage"; }

protected:
    // The constructing thread becomes the action's reply thread; null when it is not registered.
    MonitorActionRequestMessage(MonitorAction* action, uint32_t messageId, bool wantsReply,
                                bool receiverDeletes);
    // The answer carries no action.
    explicit MonitorActionRequestMessage(const MonitorActionRequestMessage& request);

private:
    MonitorAction* m_Action;
    bool m_Accepted = false;
};

// The first answer of an installed action, with its reply; the message owns the reply.
class MonitorActionInitializeMessage : public ThreadMessage {
public:
    ~MonitorActionInitializeMessage() override;
    MonitorDataReply* GetReply() const { return m_Reply; }
    // The old reply is left to the caller.
    void SetReply(MonitorDataReply* reply) { m_Reply = reply; }
    const char* GetClassName() const override { return "MonitorActionInitializeMessage"; }

protected:
    MonitorActionInitializeMessage(MonitorDataReply* reply, uint32_t messageId, bool wantsReply,
                                   bool receiverDeletes);
    // The answer carries no reply.
    explicit MonitorActionInitializeMessage(const MonitorActionInitializeMessage& request);

private:
    MonitorDataReply* m_Reply;
};

// A periodic answer of an installed action, with its reply; the message owns the reply.
class MonitorActionUpdateMessage : public ThreadMessage {
public:
    ~MonitorActionUpdateMessage() override;
    MonitorDataReply* GetReply() const { return m_Reply; }
    // The old reply is left to the caller.
    void SetReply(MonitorDataReply* reply) { m_Reply = reply; }
    const char* GetClassName() const override { return "MonitorActionUpdateMessage"; }

protected:
    MonitorActionUpdateMessage(MonitorDataReply* reply, uint32_t messageId, bool wantsReply,
                               bool receiverDeletes);
    // The answer carries no reply.
    explicit MonitorActionUpdateMessage(const MonitorActionUpdateMessage& request);

private:
    MonitorDataReply* m_Reply;
};

// A change to an installed action; the message owns the modification.
class MonitorActionModifyMessage : public ThreadMessage {
public:
    const void* GetIdentifier() const { return m_Identifier; }
    Object* GetModification() const { return m_Modification.get(); }

protected:
    MonitorActionModifyMessage(const void* identifier, std::unique_ptr<Object> modification,
                               uint32_t messageId, bool wantsReply, bool receiverDeletes);
    // The answer carries neither.
    explicit MonitorActionModifyMessage(const MonitorActionModifyMessage& request);

private:
    // The requester's record, so pointer-sized.
    const void* m_Identifier;
    std::unique_ptr<Object> m_Modification;
};

// Removes the action installed under the requester's record.
class MonitorActionCancelMessage : public ThreadMessage {
public:
    const void* GetIdentifier() const { return m_Identifier; }

protected:
    MonitorActionCancelMessage(const void* identifier, uint32_t messageId, bool wantsReply,
                               bool receiverDeletes);
    // The answer carries no identifier.
    explicit MonitorActionCancelMessage(const MonitorActionCancelMessage& request);

private:
    const void* m_Identifier;
};

// The four kinds of each family only fix the id and the class name.
template <uint32_t Id, const char* Name>
class MonitorActionRequestKind final : public MonitorActionRequestMessage {
public:
    MonitorActionRequestKind(MonitorAction* action, bool wantsReply, bool receiverDeletes)
        : MonitorActionRequestMessage(action, Id, wantsReply, receiverDeletes) {}
    MonitorActionRequestKind(const MonitorActionRequestKind& request)
        : MonitorActionRequestMessage(request) {}
    bool SendReply() override { return SendAnswerCopy(*this); }
    const char* GetClassName() const override { return Name; }
};

template <uint32_t Id, const char* Name>
class MonitorActionInitializeKind final : public MonitorActionInitializeMessage {
public:
    MonitorActionInitializeKind(MonitorDataReply* reply, bool wantsReply, bool receiverDeletes)
        : MonitorActionInitializeMessage(reply, Id, wantsReply, receiverDeletes) {}
    MonitorActionInitializeKind(const MonitorActionInitializeKind& request)
        : MonitorActionInitializeMessage(request) {}
    bool SendReply() override { return SendAnswerCopy(*this); }
    const char* GetClassName() const override { return Name; }
};

template <uint32_t Id, const char* Name>
class MonitorActionUpdateKind final : public MonitorActionUpdateMessage {
public:
    MonitorActionUpdateKind(MonitorDataReply* reply, bool wantsReply, bool receiverDeletes)
        : MonitorActionUpdateMessage(reply, Id, wantsReply, receiverDeletes) {}
    MonitorActionUpdateKind(const MonitorActionUpdateKind& request) : MonitorActionUpdateMessage(request) {}
    bool SendReply() override { return SendAnswerCopy(*this); }
    const char* GetClassName() const override { return Name; }
};

template <uint32_t Id> class MonitorActionModifyKind final : public MonitorActionModifyMessage {
public:
    MonitorActionModifyKind(const void* identifier, std::unique_ptr<Object> modification, bool wantsReply,
                            bool receiverDeletes)
        : MonitorActionModifyMessage(identifier, std::move(modification), Id, wantsReply, receiverDeletes) {}
    MonitorActionModifyKind(const MonitorActionModifyKind& request) : MonitorActionModifyMessage(request) {}
    bool SendReply() override { return SendAnswerCopy(*this); }
};

template <uint32_t Id> class MonitorActionCancelKind final : public MonitorActionCancelMessage {
public:
    MonitorActionCancelKind(const void* identifier, bool wantsReply, bool receiverDeletes)
        : MonitorActionCancelMessage(identifier, Id, wantsReply, receiverDeletes) {}
    MonitorActionCancelKind(const MonitorActionCancelKind& request) : MonitorActionCancelMessage(request) {}
    bool SendReply() override { return SendAnswerCopy(*this); }
};

inline constexpr char kMonitorTrendRequestName[] = "MonitorTrendRequestMessage";
inline constexpr char kMonitorAlarmRequestName[] = "MonitorAlarmRequestMessage";
inline constexpr char kMonitorConversationRequestName[] = "MonitorConversationRequestMessage";
inline constexpr char kMonitorSummaryRequestName[] = "MonitorSummaryRequestMessage";
inline constexpr char kMonitorTrendInitializeName[] = "MonitorTrendInitializeMessage";
inline constexpr char kMonitorTrendUpdateName[] = "MonitorTrendUpdateMessage";
inline constexpr char kMonitorAlarmInitializeName[] = "MonitorAlarmInitializeMessage";
inline constexpr char kMonitorAlarmUpdateName[] = "MonitorAlarmUpdateMessage";
inline constexpr char kMonitorConversationInitializeName[] = "MonitorConversationInitializeMessage";
inline constexpr char kMonitorConversationUpdateName[] = "MonitorConversationUpdateMessage";
inline constexpr char kMonitorSummaryInitializeName[] = "MonitorSummaryInitializeMessage";
inline constexpr char kMonitorSummaryUpdateName[] = "MonitorSummaryUpdateMessage";

using MonitorTrendRequestMessage = MonitorActionRequestKind<WM_Trend_Install, kMonitorTrendRequestName>;
using MonitorTrendInitializeMessage =
    MonitorActionInitializeKind<WM_Trend_Initialize, kMonitorTrendInitializeName>;
using MonitorTrendUpdateMessage = MonitorActionUpdateKind<WM_Trend_Update, kMonitorTrendUpdateName>;
using MonitorTrendModifyMessage = MonitorActionModifyKind<WM_Trend_Modify>;
using MonitorTrendCancelMessage = MonitorActionCancelKind<WM_Trend_Uninstall>;

using MonitorAlarmRequestMessage = MonitorActionRequestKind<WM_Alarm_Install, kMonitorAlarmRequestName>;
using MonitorAlarmInitializeMessage =
    MonitorActionInitializeKind<WM_Alarm_Initialize, kMonitorAlarmInitializeName>;
using MonitorAlarmUpdateMessage = MonitorActionUpdateKind<WM_Alarm_Triggered, kMonitorAlarmUpdateName>;
using MonitorAlarmModifyMessage = MonitorActionModifyKind<WM_Alarm_Modify>;
using MonitorAlarmCancelMessage = MonitorActionCancelKind<WM_Alarm_Uninstall>;

using MonitorConversationRequestMessage =
    MonitorActionRequestKind<WM_Conversation_Install, kMonitorConversationRequestName>;
using MonitorConversationInitializeMessage =
    MonitorActionInitializeKind<WM_Conversation_Initialize, kMonitorConversationInitializeName>;
using MonitorConversationUpdateMessage =
    MonitorActionUpdateKind<WM_Conversation_Update, kMonitorConversationUpdateName>;
using MonitorConversationModifyMessage = MonitorActionModifyKind<WM_Conversation_Modify>;
using MonitorConversationCancelMessage = MonitorActionCancelKind<WM_Conversation_Uninstall>;

using MonitorSummaryRequestMessage = MonitorActionRequestKind<WM_Summary_Install, kMonitorSummaryRequestName>;
using MonitorSummaryInitializeMessage =
    MonitorActionInitializeKind<WM_Summary_Initialize, kMonitorSummaryInitializeName>;
using MonitorSummaryUpdateMessage = MonitorActionUpdateKind<WM_Summary_Update, kMonitorSummaryUpdateName>;
using MonitorSummaryModifyMessage = MonitorActionModifyKind<WM_Summary_Modify>;
using MonitorSummaryCancelMessage = MonitorActionCancelKind<WM_Summary_Uninstall>;

} // namespace vq
