#include "monitor/MonitorActionMessage.h"

namespace vq {

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
