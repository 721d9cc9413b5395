#include "platform/net/IcmpAnswer.h"

#include <cstring>

namespace vq::net {

namespace {

constexpr uint8_t kEchoReply = 0;
constexpr uint8_t kDestinationUnreachable = 3;
constexpr uint8_t kSourceQuench = 4;
constexpr uint8_t kEchoRequest = 8;
constexpr uint8_t kTimeExceeded = 11;
constexpr uint8_t kParameterProblem = 12;
constexpr uint8_t kProtocolIcmp = 1;
constexpr size_t kIcmpHeaderSize = 8;

// A bounded reader over one datagram: a read that would pass the end answers nothing.
class Bytes {
public:
    explicit Bytes(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    std::optional<uint8_t> u8(size_t at) const {
        if (at >= bytes_.size()) return std::nullopt;
        return bytes_[at];
    }
    std::optional<uint16_t> be16(size_t at) const {
        if (at > bytes_.size() || bytes_.size() - at < 2) return std::nullopt;
        return uint16_t(bytes_[at] << 8 | bytes_[at + 1]);
    }
    std::optional<uint32_t> address(size_t at) const {
        if (at > bytes_.size() || bytes_.size() - at < 4) return std::nullopt;
        uint32_t value;
        std::memcpy(&value, bytes_.data() + at, 4);
        return value;
    }
    size_t size() const { return bytes_.size(); }
    std::span<const uint8_t> from(size_t at) const {
        return at <= bytes_.size() ? bytes_.subspan(at) : std::span<const uint8_t>();
    }

private:
    std::span<const uint8_t> bytes_;
};

struct IpHeader {
    size_t length;
    uint8_t ttl;
    uint8_t protocol;
    uint32_t source;
    uint32_t destination;
};

std::optional<IpHeader> ReadIpHeader(const Bytes& bytes) {
    auto first = bytes.u8(0);
    if (!first || *first >> 4 != 4) return std::nullopt;
    size_t length = size_t(*first & 0x0F) * 4;
    auto ttl = bytes.u8(8);
    auto protocol = bytes.u8(9);
    auto source = bytes.address(12);
    auto destination = bytes.address(16);
    if (length < 20 || !ttl || !protocol || !source || !destination || bytes.size() < length)
        return std::nullopt;
    return IpHeader{length, *ttl, *protocol, *source, *destination};
}

bool IsOurEcho(const Bytes& icmp, uint8_t type, uint16_t identifier, uint16_t sequence) {
    return icmp.u8(0) == type && icmp.be16(4) == identifier && icmp.be16(6) == sequence;
}

// An error quotes the IP header of the datagram it answers and at least its first 8 bytes.
bool QuotesOurEcho(const Bytes& quoted, uint16_t identifier, uint16_t sequence, uint32_t destination) {
    auto header = ReadIpHeader(quoted);
    if (!header || header->protocol != kProtocolIcmp || header->destination != destination) return false;
    Bytes echo(quoted.from(header->length));
    return echo.size() >= kIcmpHeaderSize && IsOurEcho(echo, kEchoRequest, identifier, sequence);
}

bool IsError(uint8_t type) {
    return type == kDestinationUnreachable || type == kSourceQuench || type == kTimeExceeded ||
           type == kParameterProblem;
}

} // namespace

uint32_t IpStatusFromIcmpError(uint8_t type, uint8_t code) {
    switch (type) {
    case kDestinationUnreachable: {
        static constexpr uint32_t byCode[] = {IpDestNetUnreachable, IpDestHostUnreachable,
                                              IpDestProtUnreachable, IpDestPortUnreachable, IpPacketTooBig};
        return code < std::size(byCode) ? byCode[code] : IpDestHostUnreachable;
    }
    case kTimeExceeded:
        return code == 1 ? IpTtlExpiredReassem : IpTtlExpiredTransit;
    case kParameterProblem:
        return IpParamProblem;
    case kSourceQuench:
        return IpSourceQuench;
    default:
        return IpGeneralFailure;
    }
}

std::optional<IcmpAnswer> ParseRawIcmpAnswer(std::span<const uint8_t> datagram, uint16_t identifier,
                                             uint16_t sequence, uint32_t destination) {
    Bytes bytes(datagram);
    auto header = ReadIpHeader(bytes);
    if (!header || header->protocol != kProtocolIcmp) return std::nullopt;
    Bytes icmp(bytes.from(header->length));
    auto type = icmp.u8(0);
    auto code = icmp.u8(1);
    if (!type || !code || icmp.size() < kIcmpHeaderSize) return std::nullopt;

    if (*type == kEchoReply) {
        if (header->source != destination || !IsOurEcho(icmp, kEchoReply, identifier, sequence))
            return std::nullopt;
        return IcmpAnswer{IpSuccess, header->source, header->ttl, icmp.from(kIcmpHeaderSize)};
    }
    if (IsError(*type) && QuotesOurEcho(Bytes(icmp.from(kIcmpHeaderSize)), identifier, sequence, destination))
        return IcmpAnswer{IpStatusFromIcmpError(*type, *code), header->source, header->ttl, {}};
    return std::nullopt;
}

} // namespace vq::net
