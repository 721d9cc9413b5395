#include "platform/net/SocketFunctions.h"

#include "platform/net/ThreadLastError.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vq::net {

namespace {

std::atomic<SocketLoader> currentLoader{nullptr};

constexpr int kMaxTransfer = 1 << 30;

struct ErrnoCode {
    int error;
    int code;
};

constexpr ErrnoCode kErrnoCodes[] = {
    {EINTR, 10004},           {EBADF, 10009},           {EACCES, 10013},        {EPERM, 10013},
    {EFAULT, 10014},          {EINVAL, 10022},          {EMFILE, 10024},        {ENFILE, 10024},
    {EWOULDBLOCK, 10035},     {EINPROGRESS, 10036},     {EALREADY, 10037},      {ENOTSOCK, 10038},
    {EDESTADDRREQ, 10039},    {EMSGSIZE, 10040},        {EPROTOTYPE, 10041},    {ENOPROTOOPT, 10042},
    {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045},    {EPFNOSUPPORT, 10046},
    {EAFNOSUPPORT, 10047},    {EADDRINUSE, 10048},      {EADDRNOTAVAIL, 10049}, {ENETDOWN, 10050},
    {ENETUNREACH, 10051},     {ENETRESET, 10052},       {ECONNABORTED, 10053},  {ECONNRESET, 10054},
    {ENOBUFS, 10055},         {ENOMEM, 10055},          {EISCONN, 10056},       {ENOTCONN, 10057},
    {ESHUTDOWN, 10058},       {EPIPE, 10058},           {ETOOMANYREFS, 10059},  {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061},    {ELOOP, 10062},           {ENAMETOOLONG, 10063},  {EHOSTDOWN, 10064},
    {EHOSTUNREACH, 10065},    {ENOTEMPTY, 10066},       {EUSERS, 10068},        {EDQUOT, 10069},
    {ESTALE, 10070},          {EREMOTE, 10071},
};

// Every system call of the table reports its failure the same way.
template <typename Result> Result Failed(Result result) {
    SetThreadLastError(uint32_t(SocketErrorFromErrno(errno)));
    return result;
}

int Status(int result) {
    return result < 0 ? Failed(kSocketError) : result;
}

int Transfer(ssize_t result) {
    return result < 0 ? Failed(kSocketError) : int(result);
}

int Clamp(int size) {
    return size < 0 ? 0 : std::min(size, kMaxTransfer);
}

struct LookupStore {
    HostEntry host;
    ServiceEntry service;
    std::string text;
};

LookupStore& Store() {
    thread_local LookupStore store;
    return store;
}

const HostEntry* HostResult(HostAnswer answer) {
    if (answer.code != LookupOk) {
        SetThreadLastError(uint32_t(answer.code));
        return nullptr;
    }
    Store().host = std::move(answer.entry);
    return &Store().host;
}

const ServiceEntry* ServiceResult(std::optional<ServiceEntry> entry) {
    if (!entry) {
        SetThreadLastError(LookupNoData);
        return nullptr;
    }
    Store().service = std::move(*entry);
    return &Store().service;
}

std::shared_ptr<Resolver> CurrentResolver() {
    return Resolver::Current();
}

SocketFunctions LibcTable() {
    SocketFunctions t;
    t.accept = [](SocketHandle s, sockaddr* a, socklen_t* n) {
        int fd = ::accept4(s, a, n, SOCK_CLOEXEC);
        return fd < 0 ? Failed(kInvalidSocket) : fd;
    };
    t.bind = [](SocketHandle s, const sockaddr* a, socklen_t n) { return Status(::bind(s, a, n)); };
    t.closesocket = [](SocketHandle s) { return Status(::close(s)); };
    t.connect = [](SocketHandle s, const sockaddr* a, socklen_t n) {
        int result;
        do
            result = ::connect(s, a, n);
        while (result < 0 && errno == EINTR);
        return Status(result);
    };
    t.ioctlsocket = [](SocketHandle s, unsigned long command, uint32_t* argument) {
        int value = argument ? int(*argument) : 0;
        int result = Status(::ioctl(s, command, &value));
        if (result == 0 && argument) *argument = uint32_t(value);
        return result;
    };
    t.getpeername = [](SocketHandle s, sockaddr* a, socklen_t* n) { return Status(::getpeername(s, a, n)); };
    t.getsockname = [](SocketHandle s, sockaddr* a, socklen_t* n) { return Status(::getsockname(s, a, n)); };
    t.getsockopt = [](SocketHandle s, int level, int name, void* value, socklen_t* size) {
        return Status(::getsockopt(s, level, name, value, size));
    };
    t.htonl = [](uint32_t v) { return ::htonl(v); };
    t.htons = [](uint16_t v) { return ::htons(v); };
    t.inet_addr = [](const char* text) { return text ? uint32_t(::inet_addr(text)) : kNoAddress; };
    t.inet_ntoa = [](in_addr address) -> const char* {
        char text[INET_ADDRSTRLEN];
        if (!::inet_ntop(AF_INET, &address, text, sizeof text)) return Failed<const char*>(nullptr);
        Store().text = text;
        return Store().text.c_str();
    };
    t.listen = [](SocketHandle s, int backlog) { return Status(::listen(s, backlog)); };
    t.ntohl = [](uint32_t v) { return ::ntohl(v); };
    t.ntohs = [](uint16_t v) { return ::ntohs(v); };
    t.recv = [](SocketHandle s, void* buffer, int size, int flags) {
        ssize_t got;
        do
            got = ::recv(s, buffer, size_t(Clamp(size)), flags);
        while (got < 0 && errno == EINTR);
        return Transfer(got);
    };
    t.recvfrom = [](SocketHandle s, void* buffer, int size, int flags, sockaddr* a, socklen_t* n) {
        return Transfer(::recvfrom(s, buffer, size_t(Clamp(size)), flags, a, n));
    };
    t.select = [](SocketHandle s, int timeout) {
        pollfd ready{s, POLLIN, 0};
        int result = ::poll(&ready, 1, timeout < 0 ? 0 : timeout);
        if (result < 0) return Failed(kSocketError);
        if (result > 0 && (ready.revents & POLLNVAL)) {
            SetThreadLastError(WsaEBadF);
            return kSocketError;
        }
        return result;
    };
    // Sockets never raise SIGPIPE: a closed peer is an error code like any other.
    t.send = [](SocketHandle s, const void* data, int size, int flags) {
        return Transfer(::send(s, data, size_t(Clamp(size)), flags | MSG_NOSIGNAL));
    };
    t.sendto = [](SocketHandle s, const void* data, int size, int flags, const sockaddr* a, socklen_t n) {
        return Transfer(::sendto(s, data, size_t(Clamp(size)), flags | MSG_NOSIGNAL, a, n));
    };
    t.setsockopt = [](SocketHandle s, int level, int name, const void* value, socklen_t size) {
        return Status(::setsockopt(s, level, name, value, size));
    };
    t.shutdown = [](SocketHandle s, int how) { return Status(::shutdown(s, how)); };
    t.socket = [](int family, int type, int protocol) {
        int fd = ::socket(family, type | SOCK_CLOEXEC, protocol);
        return fd < 0 ? Failed(kInvalidSocket) : fd;
    };
    t.gethostbyaddr = [](const Ipv4Bytes& address) {
        return HostResult(CurrentResolver()->HostByAddress(address));
    };
    t.gethostbyname = [](const char* name) -> const HostEntry* {
        if (!name) {
            SetThreadLastError(WsaEFault);
            return nullptr;
        }
        return HostResult(CurrentResolver()->HostByName(name));
    };
    t.gethostname = [](char* name, int size) {
        if (!name || size <= 0) {
            SetThreadLastError(WsaEFault);
            return kSocketError;
        }
        return Status(::gethostname(name, size_t(size)));
    };
    t.getservbyport = [](uint16_t port, const char* protocol) {
        return ServiceResult(CurrentResolver()->ServiceByPort(port, protocol ? protocol : "tcp"));
    };
    t.getservbyname = [](const char* name, const char* protocol) -> const ServiceEntry* {
        if (!name) {
            SetThreadLastError(WsaEFault);
            return nullptr;
        }
        return ServiceResult(CurrentResolver()->ServiceByName(name, protocol ? protocol : "tcp"));
    };
    t.getprotobynumber = [](int number) -> const char* {
        protoent entry, *found = nullptr;
        char buffer[1024];
        if (getprotobynumber_r(number, &entry, buffer, sizeof buffer, &found) != 0 || !found) {
            SetThreadLastError(LookupNoData);
            return nullptr;
        }
        Store().text = found->p_name;
        return Store().text.c_str();
    };
    t.getprotobyname = [](const char* name) {
        protoent entry, *found = nullptr;
        char buffer[1024];
        if (!name || getprotobyname_r(name, &entry, buffer, sizeof buffer, &found) != 0 || !found) {
            SetThreadLastError(LookupNoData);
            return kSocketError;
        }
        return found->p_proto;
    };
    t.WSAStartup = [](uint16_t version, WsaData* data) {
        if (data) *data = WsaData{version, 0x0202};
        return 0;
    };
    t.WSACleanup = [] { return 0; };
    t.WSASetLastError = [](int code) { SetThreadLastError(uint32_t(code)); };
    t.WSAGetLastError = [] { return int(GetThreadLastError()); };
    return t;
}

template <typename Result> Result NotImplemented(Result result) {
    SetThreadLastError(kCallNotImplemented);
    return result;
}

template <typename Entry, typename Fallback> void Fill(Entry& entry, Fallback fallback) {
    if (!entry) entry = fallback;
}

} // namespace

int SocketErrorFromErrno(int error) {
    for (const ErrnoCode& row : kErrnoCodes)
        if (row.error == error) return row.code;
    return WsaEInval;
}

SocketFunctions SystemSocketFunctions() {
    return LibcTable();
}

SocketFunctions CompleteSocketFunctions(SocketFunctions t) {
    Fill(t.accept, [](SocketHandle, sockaddr*, socklen_t*) { return NotImplemented(kInvalidSocket); });
    Fill(t.bind, [](SocketHandle, const sockaddr*, socklen_t) { return NotImplemented(kSocketError); });
    Fill(t.closesocket, [](SocketHandle) { return NotImplemented(kSocketError); });
    Fill(t.connect, [](SocketHandle, const sockaddr*, socklen_t) { return NotImplemented(kSocketError); });
    Fill(t.ioctlsocket, [](SocketHandle, unsigned long, uint32_t*) { return NotImplemented(kSocketError); });
    Fill(t.getpeername, [](SocketHandle, sockaddr*, socklen_t*) { return NotImplemented(kSocketError); });
    Fill(t.getsockname, [](SocketHandle, sockaddr*, socklen_t*) { return NotImplemented(kSocketError); });
    Fill(t.getsockopt,
         [](SocketHandle, int, int, void*, socklen_t*) { return NotImplemented(kSocketError); });
    Fill(t.htonl, [](uint32_t) { return NotImplemented(uint32_t(0)); });
    Fill(t.htons, [](uint16_t) { return NotImplemented(uint16_t(0)); });
    Fill(t.inet_addr, [](const char*) { return NotImplemented(kNoAddress); });
    Fill(t.inet_ntoa, [](in_addr) { return NotImplemented<const char*>(nullptr); });
    Fill(t.listen, [](SocketHandle, int) { return NotImplemented(kSocketError); });
    Fill(t.ntohl, [](uint32_t) { return NotImplemented(uint32_t(0)); });
    Fill(t.ntohs, [](uint16_t) { return NotImplemented(uint16_t(0)); });
    Fill(t.recv, [](SocketHandle, void*, int, int) { return NotImplemented(kSocketError); });
    Fill(t.recvfrom,
         [](SocketHandle, void*, int, int, sockaddr*, socklen_t*) { return NotImplemented(kSocketError); });
    Fill(t.select, [](SocketHandle, int) { return NotImplemented(kSocketError); });
    Fill(t.send, [](SocketHandle, const void*, int, int) { return NotImplemented(kSocketError); });
    Fill(t.sendto, [](SocketHandle, const void*, int, int, const sockaddr*, socklen_t) {
        return NotImplemented(kSocketError);
    });
    Fill(t.setsockopt,
         [](SocketHandle, int, int, const void*, socklen_t) { return NotImplemented(kSocketError); });
    Fill(t.shutdown, [](SocketHandle, int) { return NotImplemented(kSocketError); });
    Fill(t.socket, [](int, int, int) { return NotImplemented(kInvalidSocket); });
    Fill(t.gethostbyaddr, [](const Ipv4Bytes&) { return NotImplemented<const HostEntry*>(nullptr); });
    Fill(t.gethostbyname, [](const char*) { return NotImplemented<const HostEntry*>(nullptr); });
    Fill(t.gethostname, [](char*, int) { return NotImplemented(kSocketError); });
    Fill(t.getservbyport, [](uint16_t, const char*) { return NotImplemented<const ServiceEntry*>(nullptr); });
    Fill(t.getservbyname,
         [](const char*, const char*) { return NotImplemented<const ServiceEntry*>(nullptr); });
    Fill(t.getprotobynumber, [](int) { return NotImplemented<const char*>(nullptr); });
    Fill(t.getprotobyname, [](const char*) { return NotImplemented(kSocketError); });
    Fill(t.WSAStartup, [](uint16_t, WsaData*) { return NotImplemented(int(kCallNotImplemented)); });
    Fill(t.WSACleanup, [] { return NotImplemented(kSocketError); });
    Fill(t.WSASetLastError, [](int) { SetThreadLastError(kCallNotImplemented); });
    Fill(t.WSAGetLastError, [] { return NotImplemented(int(kCallNotImplemented)); });
    Fill(t.TransmitFile, [](SocketHandle, int, uint32_t, const void*, uint32_t, const void*, uint32_t) {
        return NotImplemented(false);
    });
    return t;
}

SocketLoader SetSocketLoader(SocketLoader loader) {
    return currentLoader.exchange(loader);
}

SocketFunctions LoadSocketFunctions() {
    SocketLoader loader = currentLoader.load();
    return CompleteSocketFunctions(loader ? loader() : SystemSocketFunctions());
}

} // namespace vq::net
