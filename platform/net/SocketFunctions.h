#pragma once

#include "platform/net/Resolver.h"

#include <cstdint>
#include <netinet/in.h>
#include <sys/socket.h>

// The socket calls as the socket classes expect to find them: one table of entry points filled
// when the first socket object is made, so tests can put a table of their own (or one with gaps)
// in place. Failures leave a socket error code (10000 and up, or a look-up code) as the thread's
// last error, read with WSAGetLastError.
namespace vq::net {

using SocketHandle = int;
inline constexpr SocketHandle kInvalidSocket = -1;
inline constexpr int kSocketError = -1;
inline constexpr uint32_t kNoAddress = 0xFFFFFFFF; // inet_addr's answer for text that is no address

// Socket error codes.
enum SocketError : int {
    WsaEIntr = 10004,
    WsaEBadF = 10009,
    WsaEAcces = 10013,
    WsaEFault = 10014,
    WsaEInval = 10022,
    WsaEMFile = 10024,
    WsaEWouldBlock = 10035,
    WsaEInProgress = 10036,
    WsaEMsgSize = 10040,
    WsaEAddrInUse = 10048,
    WsaENetReset = 10052,
    WsaENoBufs = 10055,
    WsaENotConn = 10057,
    WsaEShutdown = 10058,
    WsaETimedOut = 10060,
    WsaEConnRefused = 10061,
    WsaNotInitialised = 10093,
    kCallNotImplemented = 120, // an entry the library does not have
};

// The socket code for a system error number.
int SocketErrorFromErrno(int error);

struct WsaData {
    uint16_t version = 0;
    uint16_t highVersion = 0;
};

struct SocketFunctions {
    SocketHandle (*accept)(SocketHandle, sockaddr*, socklen_t*) = nullptr;
    int (*bind)(SocketHandle, const sockaddr*, socklen_t) = nullptr;
    int (*closesocket)(SocketHandle) = nullptr;
    int (*connect)(SocketHandle, const sockaddr*, socklen_t) = nullptr;
    int (*ioctlsocket)(SocketHandle, unsigned long command, uint32_t* argument) = nullptr;
    int (*getpeername)(SocketHandle, sockaddr*, socklen_t*) = nullptr;
    int (*getsockname)(SocketHandle, sockaddr*, socklen_t*) = nullptr;
    int (*getsockopt)(SocketHandle, int level, int name, void* value, socklen_t* size) = nullptr;
    uint32_t (*htonl)(uint32_t) = nullptr;
    uint16_t (*htons)(uint16_t) = nullptr;
    uint32_t (*inet_addr)(const char*) = nullptr;
    // The text stays valid until the thread's next call.
    const char* (*inet_ntoa)(in_addr) = nullptr;
    int (*listen)(SocketHandle, int backlog) = nullptr;
    uint32_t (*ntohl)(uint32_t) = nullptr;
    uint16_t (*ntohs)(uint16_t) = nullptr;
    int (*recv)(SocketHandle, void*, int size, int flags) = nullptr;
    int (*recvfrom)(SocketHandle, void*, int size, int flags, sockaddr*, socklen_t*) = nullptr;
    // Waits up to `timeout` ms (0: a look) until the socket is readable: 1 readable, 0 not, or
    // kSocketError. One socket at a time: descriptor sets cannot hold every descriptor number.
    int (*select)(SocketHandle, int timeout) = nullptr;
    int (*send)(SocketHandle, const void*, int size, int flags) = nullptr;
    int (*sendto)(SocketHandle, const void*, int size, int flags, const sockaddr*, socklen_t) = nullptr;
    int (*setsockopt)(SocketHandle, int level, int name, const void* value, socklen_t size) = nullptr;
    int (*shutdown)(SocketHandle, int how) = nullptr;
    SocketHandle (*socket)(int family, int type, int protocol) = nullptr;
    // Look-ups answer an entry that stays valid until the thread's next look-up, or null with the
    // look-up's code as the last error.
    const HostEntry* (*gethostbyaddr)(const Ipv4Bytes&) = nullptr;
    const HostEntry* (*gethostbyname)(const char*) = nullptr;
    int (*gethostname)(char*, int size) = nullptr;
    const ServiceEntry* (*getservbyport)(uint16_t networkPort, const char* protocol) = nullptr;
    const ServiceEntry* (*getservbyname)(const char* name, const char* protocol) = nullptr;
    const char* (*getprotobynumber)(int number) = nullptr;
    int (*getprotobyname)(const char* name) = nullptr;
    int (*WSAStartup)(uint16_t version, WsaData*) = nullptr;
    int (*WSACleanup)() = nullptr;
    void (*WSASetLastError)(int) = nullptr;
    int (*WSAGetLastError)() = nullptr;
    // Sending a file with head and tail buffers: no library here offers it.
    bool (*TransmitFile)(SocketHandle, int file, uint32_t count, const void* head, uint32_t headSize,
                         const void* tail, uint32_t tailSize) = nullptr;
};

// The library's table: libc's calls, look-ups through the resolver in place.
SocketFunctions SystemSocketFunctions();

// The table with every missing entry filled by a stand-in that fails with kCallNotImplemented:
// kSocketError (or kInvalidSocket, kNoAddress) from status calls, 0 from byte-order calls, null
// from look-ups, kCallNotImplemented from WSAStartup and WSAGetLastError.
SocketFunctions CompleteSocketFunctions(SocketFunctions table);

// Tests put a table of their own in place; returns the loader it replaces (null: the system's).
using SocketLoader = SocketFunctions (*)();
SocketLoader SetSocketLoader(SocketLoader loader);
// The table the current loader gives, completed.
SocketFunctions LoadSocketFunctions();

} // namespace vq::net
