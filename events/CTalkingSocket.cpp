#include "events/CTalkingSocket.h"

namespace {
constexpr uint32_t kErrorInvalidParameter = 87;
}

bool CTalkingSocket::OpenSocket() {
    if (m_Address.empty()) {
        m_ErrorCode = kErrorInvalidParameter;
        return false;
    }
    if (!IsLibraryStarted()) {
        m_ErrorCode = vq::net::WsaNotInitialised;
        return false;
    }
    Close();
    vq::net::SocketHandle socket = Api().socket(AF_INET, SOCK_STREAM, 0);
    if (socket == vq::net::kInvalidSocket) {
        TakeLastError();
        return false;
    }
    SetSocket(socket);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = m_Port;
    peer.sin_addr.s_addr = Api().inet_addr(m_Address.c_str());
    if (Api().connect(socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) ==
        vq::net::kSocketError) {
        TakeLastError();
        // Nothing was sent: the socket goes without the drain of an orderly close.
        SetSocket(vq::net::kInvalidSocket);
        Api().closesocket(socket);
        return false;
    }
    DescribeWithPort(GetLocalPort());
    return true;
}

bool CTalkingSocket::Connect(const char* host, int port) {
    ResolveHost(host);
    SetPort(port);
    return OpenSocket();
}

bool CTalkingSocket::Connect(const char* host, const char* service) {
    ResolveHost(host);
    SetService(service);
    return OpenSocket();
}

bool CTalkingSocket::Open(const std::string& host, unsigned port, std::optional<vq::FileException>*) {
    if (host.empty()) {
        m_ErrorCode = kErrorInvalidParameter;
        return false;
    }
    return Connect(host.c_str(), int(port));
}
