#pragma once

#include "platform/net/IcmpEcho.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace vq::net {

// What answered one echo request.
struct IcmpAnswer {
    uint32_t status = IpSuccess;
    uint32_t from = 0; // network order: the echoing host, or the router that sent an error
    uint8_t ttl = 0;
    std::span<const uint8_t> data; // an echo reply's data, within the parsed datagram
};

// The status an ICMP error of this type and code gives the echo it quotes.
uint32_t IpStatusFromIcmpError(uint8_t type, uint8_t code);

// Reads one IPv4 datagram as a raw ICMP socket delivers it and answers when it is the reply to
// our request (identifier and sequence in host order, destination in network order) or an ICMP
// error quoting that request. Foreign ICMP and anything truncated or malformed is not an answer;
// no byte past `datagram` is read.
std::optional<IcmpAnswer> ParseRawIcmpAnswer(std::span<const uint8_t> datagram, uint16_t identifier,
                                             uint16_t sequence, uint32_t destination);

} // namespace vq::net
