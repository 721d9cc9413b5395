#include "events/CListeningSocket.h"
#include "events/CSimpleSocketFile.h"
#include "events/CTalkingSocket.h"
#include "platform/net/FakeResolver.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace vq::net;

// A port no one listens on right now.
int FreePort() {
    int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    EXPECT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), size), 0);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    close(probe);
    return ntohs(address.sin_port);
}

// A listener that keeps the one connection it accepts.
class OneConnectionListener : public CListeningSocket {
public:
    std::unique_ptr<CSimpleSocketFile> accepted;

protected:
    void OnAccepted(SocketHandle socket, const std::string& hostName, const std::string& address) override {
        accepted = std::make_unique<CSimpleSocketFile>(socket, hostName, address);
    }
};

// A listener on a free port, already listening, and a client connected to it.
class Connection : public testing::Test {
protected:
    void SetUp() override {
        listener.SetPort(FreePort());
        ASSERT_TRUE(listener.OpenSocket());
        std::thread server([&] { listener.Accept(); });
        ASSERT_TRUE(client.Connect("127.0.0.1", listener.GetPort())) << client.GetErrorCode();
        server.join();
        ASSERT_TRUE(listener.accepted);
    }
    // Each side's close drains until the other closes: closing both at once ends both at once.
    void TearDown() override {
        std::thread server([&] { listener.accepted.reset(); });
        client.Close();
        server.join();
    }

    std::shared_ptr<FakeResolver> resolver = std::make_shared<FakeResolver>();
    ScopedResolver scope{resolver};
    OneConnectionListener listener;
    CTalkingSocket client;
};

TEST_F(Connection, DescribesBothEnds) {
    EXPECT_EQ(listener.accepted->GetAddress(), "127.0.0.1");
    EXPECT_EQ(listener.accepted->GetFilePath(), "127.0.0.1 (127.0.0.1)");
    EXPECT_EQ(client.GetAddress(), "127.0.0.1");
    EXPECT_NE(client.GetFilePath().find("(127.0.0.1) Port: "), std::string::npos) << client.GetFilePath();
}

TEST_F(Connection, SendsAMebibyteWhole) {
    std::vector<uint8_t> sent(1 << 20);
    for (size_t i = 0; i < sent.size(); ++i)
        sent[i] = uint8_t(i * 7 + (i >> 12));
    std::vector<uint8_t> received;
    std::thread reader([&] {
        std::vector<uint8_t> piece(65536);
        while (int got = listener.accepted->Receive(piece.data(), int(piece.size())))
            received.insert(received.end(), piece.begin(), piece.begin() + got);
    });
    EXPECT_TRUE(client.Send(sent.data(), int(sent.size())));
    client.Close();
    reader.join();
    EXPECT_EQ(received, sent);
    EXPECT_TRUE(listener.accepted->IsInvalid()) << "the peer's close closes the receiving side";
}

TEST_F(Connection, ReadLineKeepsTheTerminatorAndLeavesTheRest) {
    ASSERT_TRUE(client.Send("ab\ncd\n", 6));
    std::string line;
    EXPECT_TRUE(listener.accepted->ReadLine(line));
    EXPECT_EQ(line, "ab\n");
    EXPECT_TRUE(listener.accepted->IsReadable());
    EXPECT_TRUE(listener.accepted->ReadLine(line));
    EXPECT_EQ(line, "cd\n");
    EXPECT_FALSE(listener.accepted->IsReadable());
}

TEST_F(Connection, WriteStringSendsItsZeroWhichEndsALine) {
    client.WriteString("hello");
    std::string line;
    EXPECT_TRUE(listener.accepted->ReadLine(line));
    EXPECT_EQ(line, "hello");
}

TEST_F(Connection, APeerClosingMidLineEndsTheRead) {
    ASSERT_TRUE(client.Send("partial", 7));
    std::thread closer([&] { client.Close(); });
    std::string line;
    EXPECT_FALSE(listener.accepted->ReadLine(line));
    closer.join();
    EXPECT_EQ(line, "partial");
    EXPECT_TRUE(listener.accepted->IsInvalid());
}

TEST_F(Connection, CloseReturnsAgainstAPeerThatNeverCloses) {
    // The accepted side keeps its socket open and sends nothing: the drain gives up on its own.
    client.Close();
    EXPECT_TRUE(client.IsInvalid());
    EXPECT_FALSE(client.Send("x", 1));
    EXPECT_EQ(client.GetErrorCode(), 6u);
}

TEST(SocketTest, ConnectingWhereNoOneListensIsRefused) {
    CTalkingSocket client;
    EXPECT_FALSE(client.Connect("127.0.0.1", FreePort()));
    EXPECT_EQ(client.GetErrorCode(), uint32_t(WsaEConnRefused));
    EXPECT_TRUE(client.IsInvalid());
    EXPECT_EQ(CSimpleSocket::GetSocketErrorText(int(client.GetErrorCode())),
              "WSAECONNREFUSED, Connection refused.");
}

TEST(SocketTest, ServicesResolveByNameInLowerCaseAndByNumber) {
    auto resolver = std::make_shared<FakeResolver>();
    resolver->AddService("http", "tcp", 80);
    ScopedResolver scope(resolver);
    CTalkingSocket socket;

    socket.SetService("HTTP");
    EXPECT_EQ(socket.GetPort(), 80);
    EXPECT_EQ(socket.GetServiceName(), "http");

    socket.SetService(nullptr);
    socket.SetService("80");
    EXPECT_EQ(socket.GetPort(), 80);
    EXPECT_EQ(socket.GetServiceName(), "http");

    socket.SetService("8081");
    EXPECT_EQ(socket.GetPort(), 8081);
    EXPECT_EQ(socket.GetServiceName(), "Port #8081");

    socket.SetService("nosuch");
    EXPECT_EQ(socket.GetErrorCode(), uint32_t(LookupNoData));
    EXPECT_EQ(socket.GetServiceName(), "Port #8081") << "a failed look-up leaves the service as it was";
}

TEST(SocketTest, DottedTextIsAnAddressLookedUpOnlyInReverse) {
    auto resolver = std::make_shared<FakeResolver>();
    resolver->AddReverse({127, 0, 0, 1}, HostEntry{"localhost", {"loopback"}, {{127, 0, 0, 1}}});
    resolver->AddHost("router.example", {{192, 0, 2, 254}}, {"gw"});
    ScopedResolver scope(resolver);
    CTalkingSocket socket;

    EXPECT_TRUE(socket.ResolveHost("127.0.0.1"));
    EXPECT_EQ(socket.GetAddress(), "127.0.0.1");
    EXPECT_EQ(socket.GetHostName(), "localhost");
    EXPECT_EQ(socket.GetAliases(), std::vector<std::string>{"loopback"});
    EXPECT_EQ(resolver->CallLog(), std::vector<std::string>{"127.0.0.1"});

    EXPECT_TRUE(socket.ResolveHost("router.example"));
    EXPECT_EQ(socket.GetAddress(), "192.0.2.254");
    EXPECT_EQ(socket.GetAliases(), std::vector<std::string>{"gw"});

    EXPECT_FALSE(socket.ResolveHost("unknown.example"));
    EXPECT_EQ(socket.GetAddress(), "");
    EXPECT_EQ(socket.GetErrorCode(), uint32_t(LookupHostNotFound));

    EXPECT_FALSE(socket.ResolveHost("300.1.2.3"));
    EXPECT_EQ(socket.GetErrorCode(), uint32_t(LookupHostNotFound));
}

TEST(SocketTest, ATableWithGapsFailsEveryCallWithNotImplemented) {
    SocketLoader previous = SetSocketLoader([] {
        SocketFunctions table;
        table.WSAStartup = [](uint16_t, WsaData*) { return 0; };
        table.WSAGetLastError = SystemSocketFunctions().WSAGetLastError;
        return table;
    });
    {
        CTalkingSocket socket;
        EXPECT_FALSE(socket.ResolveHost("127.0.0.1"));
        EXPECT_EQ(socket.GetErrorCode(), uint32_t(kCallNotImplemented));
        socket.SetService("nosuch");
        EXPECT_EQ(socket.GetErrorCode(), uint32_t(kCallNotImplemented));
        EXPECT_FALSE(socket.OpenSocket());
        EXPECT_EQ(socket.GetErrorCode(), uint32_t(kCallNotImplemented));
        EXPECT_FALSE(socket.TransmitBuffers(0, 0, nullptr, 0, nullptr, 0));
        EXPECT_EQ(socket.GetErrorCode(), uint32_t(kCallNotImplemented));
        EXPECT_EQ(CSimpleSocket::GetLocalHostName(), "");
    }
    SetSocketLoader(previous);
}

TEST(SocketTest, ALibraryThatWillNotStartLeavesSocketsInvalid) {
    SocketLoader previous = SetSocketLoader([] {
        SocketFunctions table = SystemSocketFunctions();
        table.WSAStartup = [](uint16_t, WsaData*) { return int(WsaENoBufs); };
        return table;
    });
    {
        CTalkingSocket socket;
        EXPECT_EQ(socket.GetErrorCode(), uint32_t(WsaNotInitialised));
        socket.ResolveHost("127.0.0.1");
        EXPECT_FALSE(socket.OpenSocket());
        EXPECT_EQ(socket.GetErrorCode(), uint32_t(WsaNotInitialised));
        EXPECT_TRUE(socket.IsInvalid());
    }
    SetSocketLoader(previous);
    CTalkingSocket later;
    EXPECT_EQ(later.GetErrorCode(), 0u) << "the next socket starts the library again";
}

TEST(SocketTest, ErrorTextsAndTheirCopies) {
    EXPECT_EQ(CSimpleSocket::GetSocketErrorText(10047),
              "WSEAFNOSUPPORT, Address family not supported by protocol family.");
    EXPECT_EQ(CSimpleSocket::GetSocketErrorText(11004),
              "WSANO_DATA or WSANO_ADDRESS, Valid name, no data record of requested type.");
    EXPECT_EQ(CSimpleSocket::GetSocketErrorText(12345), "Unknown WinSock Error Number 12345");
    char buffer[9];
    CSimpleSocket::GetSocketErrorText(10060, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "WSAETIME");
}

TEST(SocketTest, ArgumentsMissingOrSocketClosedAreRefused) {
    CTalkingSocket socket;
    EXPECT_FALSE(socket.Send(nullptr, 3));
    EXPECT_EQ(socket.GetErrorCode(), 87u);
    EXPECT_FALSE(socket.Send("abc", 3));
    EXPECT_EQ(socket.GetErrorCode(), 6u);
    EXPECT_EQ(socket.Receive(nullptr, 3), 0);
    EXPECT_EQ(socket.GetErrorCode(), 87u);
    EXPECT_FALSE(socket.IsReadable());
    EXPECT_FALSE(socket.Open("", 0));
    EXPECT_EQ(socket.GetErrorCode(), 87u);
    OneConnectionListener listener;
    EXPECT_FALSE(listener.Accept());
    EXPECT_EQ(listener.GetErrorCode(), 87u);
}

} // namespace
