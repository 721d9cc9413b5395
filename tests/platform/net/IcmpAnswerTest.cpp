#include "platform/net/IcmpAnswer.h"

#include <arpa/inet.h>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace vq::net {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kId = 0x1234;
constexpr uint16_t kSeq = 7;
const uint32_t kTarget = inet_addr("192.0.2.2");
const uint32_t kRouter = inet_addr("192.0.2.254");
const uint32_t kUs = inet_addr("192.0.2.1");

Bytes Ip(uint32_t source, uint32_t destination, uint8_t ttl, const Bytes& payload, uint8_t protocol = 1) {
    Bytes datagram(20);
    datagram[0] = 0x45;
    datagram[8] = ttl;
    datagram[9] = protocol;
    std::memcpy(&datagram[12], &source, 4);
    std::memcpy(&datagram[16], &destination, 4);
    datagram.insert(datagram.end(), payload.begin(), payload.end());
    return datagram;
}

Bytes Echo(uint8_t type, uint16_t id, uint16_t seq, const Bytes& data = {}) {
    Bytes message{type, 0, 0, 0, uint8_t(id >> 8), uint8_t(id), uint8_t(seq >> 8), uint8_t(seq)};
    message.insert(message.end(), data.begin(), data.end());
    return message;
}

Bytes Error(uint8_t type, uint8_t code, const Bytes& quoted) {
    Bytes message{type, code, 0, 0, 0, 0, 0, 0};
    message.insert(message.end(), quoted.begin(), quoted.end());
    return message;
}

// What a router sends back about our request: its IP header and the echo header it carried.
Bytes OurRequestQuoted(uint16_t id = kId, uint32_t destination = kTarget) {
    return Ip(kUs, destination, 1, Echo(8, id, kSeq));
}

std::optional<IcmpAnswer> Parse(const Bytes& datagram) {
    return ParseRawIcmpAnswer(datagram, kId, kSeq, kTarget);
}

TEST(IcmpAnswerTest, OurEchoReplyAnswersWithItsTtlAndData) {
    Bytes datagram = Ip(kTarget, kUs, 64, Echo(0, kId, kSeq, {'a', 'b', 'c'}));
    auto answer = Parse(datagram);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, IpSuccess);
    EXPECT_EQ(answer->from, kTarget);
    EXPECT_EQ(answer->ttl, 64);
    EXPECT_EQ(Bytes(answer->data.begin(), answer->data.end()), (Bytes{'a', 'b', 'c'}));
}

TEST(IcmpAnswerTest, ErrorsQuotingOurRequestGiveTheirStatusAndTheRouter) {
    struct Case {
        uint8_t type, code;
        uint32_t status;
    };
    const Case cases[] = {
        {3, 0, IpDestNetUnreachable},  {3, 1, IpDestHostUnreachable}, {3, 2, IpDestProtUnreachable},
        {3, 3, IpDestPortUnreachable}, {3, 4, IpPacketTooBig},        {3, 13, IpDestHostUnreachable},
        {11, 0, IpTtlExpiredTransit},  {11, 1, IpTtlExpiredReassem},  {12, 0, IpParamProblem},
        {4, 0, IpSourceQuench},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.type) << "/" << int(c.code));
        auto answer = Parse(Ip(kRouter, kUs, 250, Error(c.type, c.code, OurRequestQuoted())));
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, c.status);
        EXPECT_EQ(answer->from, kRouter);
    }
}

TEST(IcmpAnswerTest, ForeignAndMalformedDatagramsAreNoAnswer) {
    Bytes truncatedHeader = Ip(kTarget, kUs, 64, Echo(0, kId, kSeq));
    truncatedHeader.resize(19);
    Bytes longHeaderClaim = Ip(kTarget, kUs, 64, Echo(0, kId, kSeq));
    longHeaderClaim[0] = 0x4F; // 60 bytes of header in a 28-byte datagram
    Bytes shortHeaderClaim = Ip(kTarget, kUs, 64, Echo(0, kId, kSeq));
    shortHeaderClaim[0] = 0x44;
    Bytes version6 = Ip(kTarget, kUs, 64, Echo(0, kId, kSeq));
    version6[0] = 0x65;
    Bytes shortIcmp = Ip(kTarget, kUs, 64, Echo(0, kId, kSeq));
    shortIcmp.resize(27);
    Bytes quotedHeaderCut = OurRequestQuoted();
    quotedHeaderCut.resize(18);
    Bytes quotedEchoCut = OurRequestQuoted();
    quotedEchoCut.resize(27);

    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"foreign identifier", Ip(kTarget, kUs, 64, Echo(0, kId + 1, kSeq))},
        {"foreign sequence", Ip(kTarget, kUs, 64, Echo(0, kId, kSeq + 1))},
        {"reply from another host", Ip(kRouter, kUs, 64, Echo(0, kId, kSeq))},
        {"our own request", Ip(kUs, kTarget, 64, Echo(8, kId, kSeq))},
        {"not ICMP", Ip(kTarget, kUs, 64, Echo(0, kId, kSeq), 17)},
        {"error quoting a foreign echo", Ip(kRouter, kUs, 64, Error(3, 1, OurRequestQuoted(kId + 1)))},
        {"error quoting another destination",
         Ip(kRouter, kUs, 64, Error(3, 1, OurRequestQuoted(kId, inet_addr("192.0.2.9"))))},
        {"redirect", Ip(kRouter, kUs, 64, Error(5, 1, OurRequestQuoted()))},
        {"truncated IP header", truncatedHeader},
        {"header longer than the datagram", longHeaderClaim},
        {"header length under 20", shortHeaderClaim},
        {"not IPv4", version6},
        {"ICMP header cut", shortIcmp},
        {"quoted header cut", Ip(kRouter, kUs, 64, Error(3, 1, quotedHeaderCut))},
        {"quoted echo cut", Ip(kRouter, kUs, 64, Error(3, 1, quotedEchoCut))},
    };
    for (const auto& [name, datagram] : cases) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Parse(datagram));
    }
}

} // namespace
} // namespace vq::net
