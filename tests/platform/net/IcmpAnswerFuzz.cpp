#include "platform/net/IcmpAnswer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Identifier, sequence and destination that the seeds' replies and quoted requests carry.
    auto answer = vq::net::ParseRawIcmpAnswer({data, size}, 0x1234, 7, 0x020200C0);
    if (answer) {
        volatile size_t sink = answer->data.size() + answer->status + answer->ttl;
        (void)sink;
    }
    return 0;
}
