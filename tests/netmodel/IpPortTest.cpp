#include "netmodel/IpPort.h"

#include "platform/net/FakeResolver.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

namespace vq {
namespace {

class IpPortTest : public ::testing::Test {
protected:
    IpPortTest() {
        resolver_->AddService("domain", "udp", 53);
        resolver_->AddService("domain", "tcp", 53);
        resolver_->AddService("http", "tcp", 80);
    }
    std::shared_ptr<net::FakeResolver> resolver_ = std::make_shared<net::FakeResolver>();
    net::ScopedResolver scoped_{resolver_};
};

TEST_F(IpPortTest, TextForms) {
    struct Case {
        const char* text;
        bool found;
        uint16_t port; // host order; 0xFFFF: unchanged from the cleared port
        const char* protocol;
        const char* service;
    };
    const Case cases[] = {
        {"domain/udp", true, 53, "udp", "domain"},
        {"domain", true, 53, "udp", "domain"},
        {"http/tcp", true, 80, "tcp", "http"},
        {"80/tcp", true, 80, "tcp", "http"},
        {"53/icmp", false, 53, "icmp", "53"},
        {"8080/tcp", false, 8080, "tcp", "8080"},
        {"0", false, 0, "udp", "0"},
        {"65535", false, 65535, "udp", "65535"},
        {"80abc/tcp", false, 0xFFFF, "tcp", "65535"},
        {"70000", false, 0xFFFF, "udp", "65535"},
        {"00", false, 0xFFFF, "udp", "65535"},
        {"-1", false, 0xFFFF, "udp", "65535"},
        {"+80", false, 0xFFFF, "udp", "65535"},
        {"", false, 0xFFFF, "udp", "65535"},
        {"nosuchservice/tcp", false, 0xFFFF, "tcp", "65535"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        IpPort port;
        EXPECT_EQ(port.SetText(c.text), c.found);
        EXPECT_EQ(port.GetPort(true), c.port);
        EXPECT_EQ(port.GetPort(false), htons(c.port));
        EXPECT_EQ(port.GetProtocolName(), c.protocol);
        EXPECT_EQ(port.GetServiceName(), c.service);
    }
}

TEST_F(IpPortTest, NumberWithoutServiceKeepsItsText) {
    IpPort port;
    EXPECT_FALSE(port.SetText("53/icmp"));
    EXPECT_EQ(port.GetPort(false), htons(53));
    EXPECT_EQ(port.GetPortText(), "53");
}

TEST_F(IpPortTest, SetClearAndEquality) {
    IpPort a;
    a.Set(53, "udp", false);
    IpPort b;
    b.Set(htons(53), nullptr, true);
    EXPECT_TRUE(a == b);
    EXPECT_EQ(b.GetProtocolName(), "");
    EXPECT_EQ(a.GetServiceName(), "domain");
    EXPECT_EQ(a.GetPortText(), "53");
    a.Clear();
    EXPECT_EQ(a.GetPort(false), 0xFFFF);
    EXPECT_EQ(a.GetProtocolName(), "");
    EXPECT_FALSE(a == b);
}

} // namespace
} // namespace vq
