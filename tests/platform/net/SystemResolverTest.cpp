#include "platform/net/SystemResolver.h"

#include "tests/support/HostsFile.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>

namespace vq::net {
namespace {

// Only the local hosts and services files: the tests never need a network.
TEST(SystemResolver, LocalHostsAndServices) {
    if (!test::HostsFileKnowsLocalhost()) GTEST_SKIP() << "/etc/hosts does not map localhost to 127.0.0.1";
    SystemResolver resolver;
    const HostAnswer forward = resolver.HostByName("localhost");
    ASSERT_EQ(forward.code, LookupOk);
    ASSERT_FALSE(forward.entry.addresses.empty());
    EXPECT_EQ(forward.entry.addresses.front(), (Ipv4Bytes{127, 0, 0, 1}));

    const HostAnswer reverse = resolver.HostByAddress({127, 0, 0, 1});
    ASSERT_EQ(reverse.code, LookupOk);
    EXPECT_FALSE(reverse.entry.name.empty());

    const auto domain = resolver.ServiceByName("domain", "udp");
    ASSERT_TRUE(domain.has_value());
    EXPECT_EQ(domain->port, htons(53));
    EXPECT_EQ(domain->protocol, "udp");
    const auto byPort = resolver.ServiceByPort(htons(53), "tcp");
    ASSERT_TRUE(byPort.has_value());
    EXPECT_EQ(byPort->name, "domain");
    EXPECT_FALSE(resolver.ServiceByName("no-such-service-here", "tcp").has_value());
}

TEST(LookupCode, FromHostErrors) {
    struct Case {
        int hostError;
        int code;
    };
    const Case cases[] = {
        {HOST_NOT_FOUND, LookupHostNotFound}, {TRY_AGAIN, LookupTryAgain},
        {NO_RECOVERY, LookupNoRecovery},      {NO_DATA, LookupNoData},
        {NETDB_INTERNAL, LookupNoRecovery},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hostError);
        EXPECT_EQ(LookupCodeFromHostError(c.hostError), c.code);
    }
}

} // namespace
} // namespace vq::net
