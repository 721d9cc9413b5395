#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vq {

// Both directions of one IP conversation together, as the engine counted them.
struct IpConversationFigures {
    std::string a;
    std::string b;
    uint64_t frames = 0;
    uint64_t octets = 0;
};

// What a run of the engine counted, taken on the monitor thread as it ends.
struct EngineFigures {
    uint64_t frames = 0;
    uint64_t octets = 0;
    uint64_t lost = 0;
    uint64_t hosts = 0;
    uint64_t tuples = 0;
    std::vector<IpConversationFigures> conversations;
};

} // namespace vq
