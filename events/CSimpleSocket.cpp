#include "events/CSimpleSocket.h"

#include "platform/core/Format.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sys/time.h>

using namespace vq::net;

namespace {

constexpr int kErrorInvalidHandle = 6;
constexpr int kErrorInvalidParameter = 87;
constexpr int kSendAttempts = 100;
constexpr int kShutdownSend = 1;
constexpr int kDrainPiece = 4096;
// A peer that never closes must not hold Close for ever.
constexpr auto kDrainLimit = std::chrono::seconds(5);

struct ErrorText {
    int code;
    const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    {10004, "WSAEINTR, Interrupted function call."},
    {10009, "WSAEBADF, Bad file handle."},
    {10013, "WSAEACCES, Permission denied."},
    {10014, "WSAEFAULT, Bad address."},
    {10022, "WSAEINVAL, The socket has not been bound with bind() or is already connected."},
    {10024, "WSAEMFILE, Too many open files."},
    {10035, "WSAEWOULDBLOCK, Resource temporarily unavailable."},
    {10036, "WSAEINPROGRESS, Operation now in progress."},
    {10037, "WSAEALREADY, Operation already in progress."},
    {10038, "WSAENOTSOCK, Socket operation on non-socket."},
    {10039, "WSAEDESTADDRREQ, Destination address required."},
    {10040, "WSAEMSGSIZE, Message too long."},
    {10041, "WSAEPROTOTYPE, Protocol wrong type for socket."},
    {10042, "WSAENOPROTOOPT, Bad protocol option."},
    {10043, "WSAEPROTONOSUPPORT, Protocol not supported."},
    {10044, "WSAESOCKTNOSUPPORT, Socket type not supported."},
    {10045, "WSAEOPNOTSUPP, Operation not supported."},
    {10046, "WSAEPFNOSUPPORT, Protocol family not supported."},
    {10047, "WSEAFNOSUPPORT, Address family not supported by protocol family."},
    {10048, "WSAEADDRINUSE, Triggered by bind() because a process went down without closing a socket."},
    {10049, "WSAEADDRNOTAVAIL, Cannot assign requested address."},
    {10050, "WSAENETDOWN, Network is down."},
    {10051, "WSAENETUNREACH, Network is unreachable."},
    {10052, "WSAENETRESET, Network dropped connection on reset."},
    {10053, "WSAECONNABORTED, Software caused connection abort."},
    {10054, "WSAECONNRESET, Connection reset by peer."},
    {10055, "WSAENOBUFS, No buffer space available."},
    {10056, "WSAEISCONN, Socket is already connected."},
    {10057, "WSAENOTCONN, Socket is not connected."},
    {10058, "WSAESHUTDOWN, Cannot send after socket shutdown."},
    {10059, "WSAETOOMANYREFS, Too many references."},
    {10060, "WSAETIMEDOUT, Connection timed out."},
    {10061, "WSAECONNREFUSED, Connection refused."},
    {10063, "WSAENAMETOOLONG, Name too long."},
    {10064, "WSAEHOSTDOWN, Host is down."},
    {10065, "WSAEHOSTUNREACH, No route to host."},
    {10066, "WSAENOTEMPTY, Directory not empty."},
    {10067, "WSAEPROCLIM, Too many processes."},
    {10068, "WSAEUSERS, Too many users."},
    {10069, "WSAEDQUOT, Disk quota exceeded."},
    {10070, "WSAESTALE, Stale file handle reference."},
    {10071, "WSAEREMOTE, Item is remote."},
    {10091, "WSASYSNOTREADY, Network subsystem is unavailable."},
    {10092, "WSAVERNOTSUPPORTED, Socket library version out of range."},
    {10093, "WSANOTINITIALISED, WSAStartup() has not been called."},
    {10101, "WSAEDISCON, Graceful shutdown in progress."},
    {11001, "WSAHOST_NOT_FOUND, Authoritative answer host not found."},
    {11002, "WSATRY_AGAIN, Non-authoritative host not found."},
    {11003, "WSANO_RECOVERY, This is a non-recoverable error."},
    {11004, "WSANO_DATA or WSANO_ADDRESS, Valid name, no data record of requested type."},
};

bool IsDottedText(const char* text) {
    return *text && std::all_of(text, text + std::strlen(text),
                                [](char c) { return c == '.' || std::isdigit(uint8_t(c)); });
}

std::string Dotted(const Ipv4Bytes& address) {
    return vq::Format("%d.%d.%d.%d", address[0], address[1], address[2], address[3]);
}

Ipv4Bytes BytesOf(uint32_t networkAddress) {
    Ipv4Bytes bytes;
    std::memcpy(bytes.data(), &networkAddress, 4);
    return bytes;
}

} // namespace

CSimpleSocket::CSimpleSocket() {
    if (!m_Library.IsStarted()) m_ErrorCode = WsaNotInitialised;
}

CSimpleSocket::~CSimpleSocket() {
    Close();
}

uint32_t CSimpleSocket::TakeLastError() {
    m_ErrorCode = uint32_t(Api().WSAGetLastError());
    return m_ErrorCode;
}

void CSimpleSocket::SetSocket(SocketHandle socket) {
    m_Socket = socket;
    SetDescriptor(socket);
}

int CSimpleSocket::GetPort() const {
    return (Api().ntohs)(m_Port);
}

bool CSimpleSocket::ResolveHost(const char* host) {
    std::string address, hostName;
    std::vector<std::string> aliases;
    const HostEntry* answer = nullptr;
    if (host && IsDottedText(host)) {
        address = hostName = host;
        uint32_t value = Api().inet_addr(host);
        if (value == kNoAddress && address != "255.255.255.255")
            Api().WSASetLastError(LookupHostNotFound);
        else
            answer = Api().gethostbyaddr(BytesOf(value));
    } else if (host) {
        answer = Api().gethostbyname(host);
        if (answer && answer->addresses.empty()) {
            answer = nullptr;
            Api().WSASetLastError(LookupNoData);
        }
        if (answer) address = Dotted(answer->addresses.front());
    }
    if (answer) {
        hostName = answer->name;
        aliases = answer->aliases;
    } else if (host) {
        TakeLastError();
    }
    m_Address = std::move(address);
    m_HostName = std::move(hostName);
    m_Aliases = std::move(aliases);
    return !host || answer;
}

void CSimpleSocket::Attach(SocketHandle socket) {
    if (!IsInvalid()) Close();
    SetSocket(socket);
}

void CSimpleSocket::SetHostName(const char* name) {
    m_HostName = name ? name : "";
}

void CSimpleSocket::SetPort(int port) {
    m_Port = (Api().htons)(uint16_t(port));
    if (const ServiceEntry* service = Api().getservbyport(m_Port, "tcp")) {
        m_ServiceName = service->name;
        return;
    }
    TakeLastError();
    m_ServiceName = vq::Format("Port #%d", port);
}

void CSimpleSocket::SetService(const char* service) {
    if (!service) {
        m_ServiceName.clear();
        m_Port = 0;
        return;
    }
    if (int port = std::atoi(service)) {
        SetPort(port);
        return;
    }
    std::string lower(service);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return char(std::tolower(uint8_t(c))); });
    if (const ServiceEntry* entry = Api().getservbyname(lower.c_str(), "tcp")) {
        m_ServiceName = lower;
        m_Port = entry->port;
        return;
    }
    TakeLastError();
}

void CSimpleSocket::Close() {
    if (IsInvalid()) return;
    SocketHandle socket = m_Socket;
    SetSocket(kInvalidSocket);
    Api().shutdown(socket, kShutdownSend);
    timeval wait{5, 0};
    Api().setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    auto deadline = std::chrono::steady_clock::now() + kDrainLimit;
    std::array<char, kDrainPiece> discard;
    while (std::chrono::steady_clock::now() < deadline &&
           Api().recv(socket, discard.data(), kDrainPiece, 0) > 0) {
    }
    Api().closesocket(socket);
}

bool CSimpleSocket::IsReadable() {
    if (IsInvalid()) return false;
    int ready = Api().select(m_Socket, 0);
    if (ready == kSocketError) {
        TakeLastError();
        return false;
    }
    return ready > 0;
}

bool CSimpleSocket::TransmitBuffers(int file, uint32_t count, const void* head, uint32_t headSize,
                                    const void* tail, uint32_t tailSize) {
    if (Api().TransmitFile(m_Socket, file, count, head, headSize, tail, tailSize)) return true;
    TakeLastError();
    return false;
}

bool CSimpleSocket::Send(const void* data, int size) {
    if (!data) {
        m_ErrorCode = kErrorInvalidParameter;
        return false;
    }
    if (IsInvalid()) {
        m_ErrorCode = kErrorInvalidHandle;
        return false;
    }
    const char* next = static_cast<const char*>(data);
    int left = size;
    for (int attempts = 0; left > 0 && attempts < kSendAttempts;) {
        int sent = Api().send(m_Socket, next, left, 0);
        if (sent > 0) {
            next += sent;
            left -= sent;
            continue;
        }
        uint32_t error = TakeLastError();
        if (error == WsaEInProgress || error == WsaENoBufs) {
            ++attempts;
            continue;
        }
        // The connection is gone: closing here keeps the descriptor from leaking.
        if (error == WsaENetReset || error == WsaENotConn || error == WsaEShutdown) {
            SocketHandle socket = m_Socket;
            SetSocket(kInvalidSocket);
            Api().closesocket(socket);
        }
        return false;
    }
    return left <= 0;
}

void CSimpleSocket::WriteString(const std::string& text) {
    Send(text.c_str(), int(text.size() + 1));
}

int CSimpleSocket::Receive(void* buffer, int size) {
    if (!buffer || size < 0) {
        m_ErrorCode = kErrorInvalidParameter;
        return 0;
    }
    if (IsInvalid()) {
        m_ErrorCode = kErrorInvalidHandle;
        return 0;
    }
    std::memset(buffer, 0, size_t(size));
    int got = Api().recv(m_Socket, buffer, size, 0);
    if (got == 0) Close();
    if (got == kSocketError) {
        TakeLastError();
        return 0;
    }
    return got;
}

bool CSimpleSocket::ReadLine(std::string& line) {
    line.clear();
    for (;;) {
        char byte = 0;
        if (Receive(&byte, 1) != 1) return false;
        if (byte == 0) return true;
        line += byte;
        if (byte == m_LineTerminator) return true;
    }
}

int CSimpleSocket::GetLocalPort() const {
    sockaddr_in local{};
    socklen_t size = sizeof local;
    if (Api().getsockname(m_Socket, reinterpret_cast<sockaddr*>(&local), &size) == kSocketError) return 0;
    return (Api().ntohs)(local.sin_port);
}

void CSimpleSocket::DescribeWithPort(int port) {
    SetFilePath(vq::Format("%s (%s) Port: %d", m_HostName.c_str(), m_Address.c_str(), port));
}

void CSimpleSocket::Describe() {
    SetFilePath(vq::Format("%s (%s)", m_HostName.c_str(), m_Address.c_str()));
}

std::string CSimpleSocket::GetLocalHostName() {
    SocketLibrary library;
    std::array<char, 256> name{};
    if (library.Api().gethostname(name.data(), int(name.size() - 1)) == kSocketError) return {};
    return name.data();
}

std::string CSimpleSocket::GetLocalHostAddress() {
    std::string name = GetLocalHostName();
    SocketLibrary library;
    const HostEntry* host = name.empty() ? nullptr : library.Api().gethostbyname(name.c_str());
    return host && !host->addresses.empty() ? Dotted(host->addresses.front()) : std::string();
}

std::string CSimpleSocket::GetSocketErrorText(int code) {
    for (const ErrorText& row : kErrorTexts)
        if (row.code == code) return row.text;
    return vq::Format("Unknown WinSock Error Number %d", code);
}

void CSimpleSocket::GetSocketErrorText(int code, char* buffer, size_t size) {
    if (!buffer || size == 0) return;
    std::string text = GetSocketErrorText(code);
    size_t count = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
}
