#pragma once

#include "runtime/ThreadMessage.h"

#include <cstdint>

namespace vq {

// A command, reply or dump request with one pointer-sized value that the message does not own; a
// dump request carries the kind of dump in it.
class GeneralThreadMessage : public ThreadMessage {
public:
    GeneralThreadMessage(std::uint32_t messageId, std::uintptr_t payload, bool wantsReply,
                         bool receiverDeletes);
    // The answer carries the same value.
    GeneralThreadMessage(const GeneralThreadMessage& request);

    std::uintptr_t GetPayload() const { return m_Payload; }
    void SetPayload(std::uintptr_t payload) { m_Payload = payload; }
    bool SendReply() override;
    const char* GetClassName() const override { return "GeneralThreadMessage"; }

private:
    std::uintptr_t m_Payload;
};

} // namespace vq
