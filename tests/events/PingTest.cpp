#include "events/CPing.h"
#include "platform/net/FakeResolver.h"
#include "platform/net/ThreadLastError.h"
#include "tests/events/TestNetwork.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sched.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

using namespace vq::net;

// Runs `work` on a thread that lives in the named network namespace, so its sockets do too.
template <typename Work> void InNamespace(const std::string& name, Work work) {
    std::thread runner([&] {
        int ns = open(("/var/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(ns, 0);
        ASSERT_EQ(setns(ns, CLONE_NEWNET), 0);
        close(ns);
        work();
    });
    runner.join();
}

// Packets the calling thread's namespace sent on an interface.
uint64_t SentPackets(const std::string& interfaceName) {
    std::ifstream dev("/proc/thread-self/net/dev");
    std::string line;
    while (std::getline(dev, line)) {
        auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string name = line.substr(0, colon);
        name.erase(0, name.find_first_not_of(' '));
        if (name != interfaceName) continue;
        std::istringstream fields(line.substr(colon + 1));
        uint64_t value = 0;
        for (int i = 0; i < 10; ++i)
            fields >> value; // receive: 8 fields, then the sent bytes and packets
        return value;
    }
    return 0;
}

// The test network of TestNetwork.h, made for each test.
class PingNetwork : public testing::Test {
protected:
    void SetUp() override {
        const std::string reason = network.Build();
        if (!reason.empty()) GTEST_SKIP() << reason;
        pinger = network.pinger;
        link = network.link;
    }

    vq::test::TestNetwork network;
    std::string pinger, link;
    std::shared_ptr<FakeResolver> resolver = std::make_shared<FakeResolver>();
    ScopedResolver scope{resolver};
};

TEST_F(PingNetwork, AnsweringHostOnBothSockets) {
    for (IcmpSockets sockets : {IcmpSockets::DatagramOnly, IcmpSockets::RawOnly}) {
        SCOPED_TRACE(sockets == IcmpSockets::RawOnly ? "raw" : "datagram");
        IcmpSockets previous = SetIcmpSockets(sockets);
        InNamespace(pinger, [&] {
            CPing ping;
            CPingResults results;
            EXPECT_EQ(ping.Ping("192.0.2.2", &results, 255), 1) << ping.GetErrorCode();
            EXPECT_EQ(results.m_Address, "192.0.2.2");
            EXPECT_EQ(results.m_Ttl, 64);
            EXPECT_LT(results.m_RoundTrip, 1000u);
            EXPECT_EQ(ping.Ping("127.0.0.1", &results, 255), 1) << ping.GetErrorCode();
            EXPECT_EQ(results.m_Address, "127.0.0.1");
        });
        SetIcmpSockets(previous);
    }
}

TEST_F(PingNetwork, HostIgnoringEchoesTimesOut) {
    InNamespace(pinger, [&] {
        CPing ping;
        EXPECT_EQ(ping.Ping("198.51.100.2", nullptr, 255), 0);
        EXPECT_EQ(ping.GetErrorCode(), uint32_t(IpReqTimedOut));
        EXPECT_EQ(CPing::GetStatusText(ping.GetErrorCode()), "IP_REQ_TIMED_OUT: Request timed out");
    });
    // The raw path waits the same way; a short wait through the library shows it.
    IcmpSockets previous = SetIcmpSockets(IcmpSockets::RawOnly);
    InNamespace(pinger, [&] {
        IcmpBinding binding = LoadIcmpLibrary("icmp.dll");
        IcmpHandle handle = binding.IcmpCreateFile();
        ASSERT_TRUE(handle);
        alignas(IcmpEchoReply) uint8_t reply[sizeof(IcmpEchoReply) + 8];
        EXPECT_EQ(binding.IcmpSendEcho(handle, inet_addr("198.51.100.2"), "12345678", 8, nullptr, reply,
                                       sizeof reply, 300),
                  0u);
        EXPECT_EQ(GetThreadLastError(), uint32_t(IpReqTimedOut));
        binding.IcmpCloseHandle(handle);
    });
    SetIcmpSockets(previous);
}

TEST_F(PingNetwork, UnreachableNetworkBehindARouterIsAnErrorNotAnAnswer) {
    for (IcmpSockets sockets : {IcmpSockets::DatagramOnly, IcmpSockets::RawOnly}) {
        SCOPED_TRACE(sockets == IcmpSockets::RawOnly ? "raw" : "datagram");
        IcmpSockets previous = SetIcmpSockets(sockets);
        InNamespace(pinger, [&] {
            CPing ping;
            CPingResults results;
            EXPECT_EQ(ping.Ping("203.0.113.9", &results, 255), 0);
            EXPECT_TRUE(ping.GetErrorCode() == IpDestNetUnreachable ||
                        ping.GetErrorCode() == IpDestHostUnreachable)
                << ping.GetErrorCode();
            EXPECT_EQ(results.m_Address, "192.0.2.2") << "the router that answered";
        });
        SetIcmpSockets(previous);
    }
}

TEST_F(PingNetwork, UnknownNameSendsNothing) {
    InNamespace(pinger, [&] {
        uint64_t before = SentPackets(link);
        CPing ping;
        EXPECT_EQ(ping.Ping("nosuch.example", nullptr, 255), 0);
        EXPECT_EQ(ping.GetErrorCode(), uint32_t(LookupHostNotFound));
        EXPECT_EQ(CPing::GetStatusText(ping.GetErrorCode()), "IP_BUFF_TOO_SMALL: Buffer too small");
        EXPECT_EQ(SentPackets(link), before);
    });
}

TEST(PingTest, LoopbackAnswersWhereverTheTestRuns) {
    auto resolver = std::make_shared<FakeResolver>();
    ScopedResolver scope(resolver);
    CPing ping;
    CPingResults results;
    int replies = ping.Ping("127.0.0.1", &results, 255);
    if (replies == 0 && ping.GetErrorCode() == kErrorInvalidHandle)
        GTEST_SKIP() << "this user may open no ICMP socket";
    EXPECT_EQ(replies, 1);
    EXPECT_EQ(results.m_Address, "127.0.0.1");
}

TEST(PingTest, MissingLibraryEntriesFailWith487) {
    ScopedResolver scope(std::make_shared<FakeResolver>());
    IcmpLoader previous = SetIcmpLoader([](const std::string&) { return IcmpBinding{}; });
    CPing ping;
    EXPECT_EQ(ping.Ping("127.0.0.1", nullptr, 255), 0);
    EXPECT_EQ(ping.GetErrorCode(), 487u);
    SetIcmpLoader(previous);
    EXPECT_EQ(CPing().Ping("nosuch.invalid", nullptr, 255), 0) << "the library is looked for again";
}

// A library that answers every echo at once, recording what it was asked.
struct ScriptedLibrary {
    static inline uint32_t destination = 0;
    static inline uint16_t requestSize = 0;
    static inline uint32_t replySize = 0;
    static inline uint8_t ttl = 0;
    static inline int open = 0;
    static inline uint32_t status = IpSuccess;

    static IcmpBinding Load(const std::string&) {
        return {[]() -> IcmpHandle {
                    ++open;
                    return reinterpret_cast<IcmpHandle>(&open);
                },
                [](IcmpHandle, uint32_t to, const void*, uint16_t size, const IpOptionInformation* options,
                   void* buffer, uint32_t bufferSize, uint32_t) -> uint32_t {
                    destination = to;
                    requestSize = size;
                    replySize = bufferSize;
                    ttl = options->Ttl;
                    IcmpEchoReply reply;
                    reply.Address = inet_addr("10.1.2.3");
                    reply.Status = status;
                    reply.RoundTripTime = 17;
                    reply.Options.Ttl = 61;
                    std::memcpy(buffer, &reply, sizeof reply);
                    return 1;
                },
                [](IcmpHandle) {
                    --open;
                    return true;
                }};
    }
};

TEST(PingTest, RequestIsFiftyNineBytesAndTheReplyFillsTheResults) {
    IcmpLoader previous = SetIcmpLoader(ScriptedLibrary::Load);
    auto resolver = std::make_shared<FakeResolver>();
    resolver->AddHost("device.example", {{10, 1, 2, 3}});
    ScopedResolver scope(resolver);
    {
        CPing ping;
        CPingResults results;
        EXPECT_EQ(ping.Ping("device.example", &results, 255), 1);
        EXPECT_EQ(ScriptedLibrary::destination, inet_addr("10.1.2.3"));
        EXPECT_EQ(ScriptedLibrary::requestSize, 59);
        EXPECT_EQ(ScriptedLibrary::replySize, sizeof(IcmpEchoReply) + 59);
        EXPECT_EQ(ScriptedLibrary::ttl, 255);
        EXPECT_EQ(results.m_Address, "10.1.2.3");
        EXPECT_EQ(results.m_RoundTrip, 17u);
        EXPECT_EQ(results.m_Ttl, 61);

        ScriptedLibrary::status = IpTtlExpiredTransit;
        EXPECT_EQ(ping.Ping("10.1.2.3", &results, 1), 0);
        EXPECT_EQ(ping.GetErrorCode(), uint32_t(IpTtlExpiredTransit));
        ScriptedLibrary::status = IpSuccess;

        EXPECT_EQ(ping.Ping("nosuch.example", &results, 255), 0);
        EXPECT_EQ(ping.GetErrorCode(), uint32_t(LookupHostNotFound));
        EXPECT_EQ(ping.Ping("255.255.255.255", &results, 255), 0);
        EXPECT_NE(ping.GetErrorCode(), 0u);
        EXPECT_EQ(ScriptedLibrary::open, 0) << "every way out closes the echo handle";
    }
    SetIcmpLoader(previous);
}

TEST(PingTest, StatusTexts) {
    const std::pair<uint32_t, const char*> cases[] = {
        {0, "IP_SUCCESS: Success"},     {11003, "IP_DEST_HOST_UNREACHABLE: Destination Host Unreachable"},
        {11050, "IP_GENERAL_FAILURE"},  {11255, "IP_PENDING"},
        {12345, "Unknown error 12345"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(CPing::GetStatusText(code), text);
}

TEST(PingTest, ResultsArchiveAndCopy) {
    CPingResults results;
    IcmpEchoReply reply;
    reply.Address = inet_addr("192.168.1.20");
    reply.RoundTripTime = 250;
    reply.Options.Ttl = 128;
    results.SetFromReply(&reply);
    EXPECT_EQ(results.m_Address, "192.168.1.20");

    vq::ObjectWriter writer;
    writer.WriteObject(&results);
    const vq::RuntimeClass* classes[] = {&CPingResults::Class()};
    vq::ObjectReader reader(writer.Data(), classes);
    auto read = reader.ReadObject(CPingResults::Class());
    auto* copy = dynamic_cast<CPingResults*>(read.get());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->m_Address, "192.168.1.20");
    EXPECT_EQ(copy->m_RoundTrip, 250u);
    EXPECT_EQ(copy->m_Ttl, 128);

    CPingResults assigned;
    assigned.Assign(copy);
    EXPECT_EQ(assigned.m_Address, "192.168.1.20");
    assigned.Assign(nullptr);
    EXPECT_EQ(assigned.m_Address, "");
    assigned.SetFromReply(nullptr);
    EXPECT_EQ(assigned.m_RoundTrip, 0u);
}

} // namespace
