#include "events/CListeningSocket.h"

#include <cstring>

namespace {
constexpr uint32_t kErrorInvalidParameter = 87;
}

bool CListeningSocket::OpenSocket() {
    if (!IsInvalid()) return true;
    if (m_Port == 0) return false;
    if (!IsLibraryStarted()) {
        m_ErrorCode = vq::net::WsaNotInitialised;
        return false;
    }
    vq::net::SocketHandle socket = Api().socket(AF_INET, SOCK_STREAM, 0);
    if (socket == vq::net::kInvalidSocket) {
        TakeLastError();
        return false;
    }
    // A listener restarted on its port must not wait for the old connections to time out.
    int reuse = 1;
    Api().setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = m_Port;
    local.sin_addr.s_addr = (Api().htonl)(INADDR_ANY);
    if (Api().bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) ==
            vq::net::kSocketError ||
        Api().listen(socket, kBacklog) == vq::net::kSocketError) {
        TakeLastError();
        Api().closesocket(socket);
        return false;
    }
    SetSocket(socket);
    return true;
}

bool CListeningSocket::Accept() {
    if (m_Port == 0) {
        m_ErrorCode = kErrorInvalidParameter;
        return false;
    }
    if (!OpenSocket()) return false;
    DescribeWithPort(GetPort());
    sockaddr_in peer{};
    socklen_t size = sizeof peer;
    vq::net::SocketHandle accepted = Api().accept(m_Socket, reinterpret_cast<sockaddr*>(&peer), &size);
    if (accepted == vq::net::kInvalidSocket) {
        TakeLastError();
        return false;
    }
    const char* text = Api().inet_ntoa(peer.sin_addr);
    if (!text) {
        m_ErrorCode = vq::net::WsaEInval;
        Api().closesocket(accepted);
        return false;
    }
    std::string address = text;
    vq::net::Ipv4Bytes bytes;
    std::memcpy(bytes.data(), &peer.sin_addr.s_addr, 4);
    const vq::net::HostEntry* host = Api().gethostbyaddr(bytes);
    std::string hostName = host ? host->name : address;
    OnAccepted(accepted, hostName, address);
    return true;
}

bool CListeningSocket::Accept(int port) {
    SetPort(port);
    return Accept();
}

bool CListeningSocket::Accept(const char* service) {
    if (!service) {
        m_ErrorCode = kErrorInvalidParameter;
        return false;
    }
    SetService(service);
    return Accept();
}
