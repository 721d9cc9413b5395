#include "monitor/MonitorActionMessage.h"

#include "monitor/MonitorAction.h"
#include "runtime/EngineGlobals.h"
#include "runtime/ThreadObject.h"

#include <utility>

namespace vq {

MonitorActionRequestMessage::MonitorActionRequestMessage(MonitorAction* action, uint32_t messageId,
                                                         bool wantsReply, bool receiverDeletes)
    : ThreadMessage(messageId, wantsReply, receiverDeletes), m_Action(action) {
    if (m_Action) m_Action->SetReplyThread(Engine().m_ThreadPool.FindThread(CurrentThreadId()));
}

MonitorActionRequestMessage::MonitorActionRequestMessage(const MonitorActionRequestMessage& request)
    : ThreadMessage(request), m_Action(nullptr) {}

MonitorActionRequestMessage::~MonitorActionRequestMessage() {
    const std::uint32_t state = GetState();
    if (m_Accepted || state == STATE_DELETE_ON_RECEIPT || state == STATE_POOL_DTOR) delete m_Action;
}

std::unique_ptr<MonitorAction> MonitorActionRequestMessage::TakeAction() {
    return std::unique_ptr<MonitorAction>(std::exchange(m_Action, nullptr));
}

bool MonitorActionRequestMessage::Receive(std::uint32_t newState) {
    // A refused or dropped request is gone or stays in the pool: only an accepted one is touched.
    if (!ThreadMessage::Receive(newState)) return false;
    m_Accepted = true;
    return true;
}

bool MonitorActionRequestMessage::PostVia(ThreadObject* via, ThreadObject* destination) {
    if (m_Action) m_Action->SetReplyThread(via);
    return ThreadMessage::PostVia(via, destination);
}

MonitorActionInitializeMessage::MonitorActionInitializeMessage(MonitorDataReply* reply, uint32_t messageId,
                                                               bool wantsReply, bool receiverDeletes)
    : ThreadMessage(messageId, wantsReply, receiverDeletes), m_Reply(reply) {}

MonitorActionInitializeMessage::MonitorActionInitializeMessage(const MonitorActionInitializeMessage& request)
    : ThreadMessage(request), m_Reply(nullptr) {}

MonitorActionInitializeMessage::~MonitorActionInitializeMessage() {
    delete m_Reply;
}

MonitorActionUpdateMessage::MonitorActionUpdateMessage(MonitorDataReply* reply, uint32_t messageId,
                                                       bool wantsReply, bool receiverDeletes)
    : ThreadMessage(messageId, wantsReply, receiverDeletes), m_Reply(reply) {}

MonitorActionUpdateMessage::MonitorActionUpdateMessage(const MonitorActionUpdateMessage& request)
    : ThreadMessage(request), m_Reply(nullptr) {}

MonitorActionUpdateMessage::~MonitorActionUpdateMessage() {
    delete m_Reply;
}

MonitorActionModifyMessage::MonitorActionModifyMessage(const void* identifier,
                                                       std::unique_ptr<Object> modification,
                                                       uint32_t messageId, bool wantsReply,
                                                       bool receiverDeletes)
    : ThreadMessage(messageId, wantsReply, receiverDeletes), m_Identifier(identifier),
      m_Modification(std::move(modification)) {}

MonitorActionModifyMessage::MonitorActionModifyMessage(const MonitorActionModifyMessage& request)
    : ThreadMessage(request), m_Identifier(nullptr) {}

MonitorActionCancelMessage::MonitorActionCancelMessage(const void* identifier, uint32_t messageId,
                                                       bool wantsReply, bool receiverDeletes)
    : ThreadMessage(messageId, wantsReply, receiverDeletes), m_Identifier(identifier) {}

MonitorActionCancelMessage::MonitorActionCancelMessage(const MonitorActionCancelMessage& request)
    : ThreadMessage(request), m_Identifier(nullptr) {}

} // namespace vq
