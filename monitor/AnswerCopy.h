#pragma once

#include "runtime/ThreadMessage.h"

#include <new>

namespace vq {

// Sends the answer copy of a request back to its sender; without memory for the copy no answer goes.
template <typename Message> bool SendAnswerCopy(Message& request) {
    Message* answer = nullptr;
    try {
        answer = new Message(request);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return request.Reply(answer);
}

} // namespace vq
