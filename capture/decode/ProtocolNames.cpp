#include "capture/decode/ProtocolNames.h"

namespace vq {

std::string LookupProtocolName(std::span<const ProtocolNameRow> table, uint32_t identifier, bool verbose,
                               const char* family) {
    for (const auto& row : table) {
        if (identifier >= row.low && identifier <= row.high) return verbose ? row.verbose : row.brief;
    }
    std::string number = std::to_string(identifier);
    return verbose ? std::string(family) + "(" + number + ")" : number;
}

} // namespace vq
