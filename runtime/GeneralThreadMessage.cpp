#include "runtime/GeneralThreadMessage.h"

#include <new>

namespace vq {

GeneralThreadMessage::GeneralThreadMessage(std::uint32_t messageId, std::uintptr_t payload, bool wantsReply,
                                           bool receiverDeletes)
    : ThreadMessage(messageId, wantsReply, receiverDeletes), m_Payload(payload) {}

GeneralThreadMessage::GeneralThreadMessage(const GeneralThreadMessage& request)
    : ThreadMessage(request), m_Payload(request.m_Payload) {}

bool GeneralThreadMessage::SendReply() {
    GeneralThreadMessage* answer = nullptr;
    try {
        answer = new GeneralThreadMessage(*this);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return Reply(answer);
}

} // namespace vq
