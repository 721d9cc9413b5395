#include "platform/net/ThreadLastError.h"

namespace vq::net {

namespace {
thread_local uint32_t lastError = 0;
}

uint32_t GetThreadLastError() {
    return lastError;
}

void SetThreadLastError(uint32_t code) {
    lastError = code;
}

} // namespace vq::net
