#pragma once

#include <cstdint>
#include <string>

// ICMP echo as its callers expect it of the system: open an echo handle, send one request and
// wait for its reply into a caller's buffer, close the handle. Echoes go out on an ICMP datagram
// socket where the system allows them to this user, else on a raw ICMP socket (root or
// CAP_NET_RAW); with neither the handle is invalid.
namespace vq::net {

// Status codes of an echo, left in the reply record and as the thread's last error.
enum IpStatus : uint32_t {
    IpSuccess = 0,
    IpBufTooSmall = 11001,
    IpDestNetUnreachable = 11002,
    IpDestHostUnreachable = 11003,
    IpDestProtUnreachable = 11004,
    IpDestPortUnreachable = 11005,
    IpNoResources = 11006,
    IpBadOption = 11007,
    IpHwError = 11008,
    IpPacketTooBig = 11009,
    IpReqTimedOut = 11010,
    IpBadReq = 11011,
    IpBadRoute = 11012,
    IpTtlExpiredTransit = 11013,
    IpTtlExpiredReassem = 11014,
    IpParamProblem = 11015,
    IpSourceQuench = 11016,
    IpOptionTooBig = 11017,
    IpBadDestination = 11018,
    IpAddrDeleted = 11019,
    IpSpecMtuChange = 11020,
    IpMtuChange = 11021,
    IpGeneralFailure = 11050,
    IpPending = 11255,
};

// The thread's last error for a call on a handle that is not an open echo handle.
inline constexpr uint32_t kErrorInvalidHandle = 6;

// Don't-fragment bit of the options' flags.
inline constexpr uint8_t kIpFlagDontFragment = 0x02;

struct IpOptionInformation {
    uint8_t Ttl = 0;
    uint8_t Tos = 0;
    uint8_t Flags = 0;
    uint8_t OptionsSize = 0;
    uint8_t* OptionsData = nullptr;
};

// The record at the start of a reply buffer; the reply's data follows it in the same buffer.
struct IcmpEchoReply {
    uint32_t Address = 0;       // the replying address, network order
    uint32_t Status = 0;        // an IpStatus
    uint32_t RoundTripTime = 0; // milliseconds
    uint16_t DataSize = 0;
    uint16_t Reserved = 0;
    void* Data = nullptr;
    IpOptionInformation Options;
};

struct IcmpChannel;
using IcmpHandle = IcmpChannel*; // null is the invalid handle

// The echo library's entry points; an entry the library lacks is null.
struct IcmpBinding {
    IcmpHandle (*IcmpCreateFile)() = nullptr;
    // Sends one request to `destination` (network order) and waits up to `timeout` ms. Answers the
    // number of replies in `replyBuffer`; on 0 the thread's last error holds an IpStatus (or
    // kErrorInvalidHandle). An ICMP error that answers the request is one reply carrying its
    // status and the address of the router that sent it.
    uint32_t (*IcmpSendEcho)(IcmpHandle handle, uint32_t destination, const void* requestData,
                             uint16_t requestSize, const IpOptionInformation* options, void* replyBuffer,
                             uint32_t replySize, uint32_t timeout) = nullptr;
    bool (*IcmpCloseHandle)(IcmpHandle handle) = nullptr;
};

// The echo library loaded by its name ("ICMP.DLL", in any case); a binding without entries for
// any other name or where tests took the library away.
IcmpBinding LoadIcmpLibrary(const std::string& name);

// Tests put a library of their own in place; returns the loader it replaces (null: the system's).
using IcmpLoader = IcmpBinding (*)(const std::string& name);
IcmpLoader SetIcmpLoader(IcmpLoader loader);
// Counts the loaders put in place, so a binding kept from an earlier one is made again.
uint32_t IcmpLoaderGeneration();

// Which sockets the system binding may open, so tests can force the raw path.
enum class IcmpSockets { DatagramThenRaw, DatagramOnly, RawOnly };
IcmpSockets SetIcmpSockets(IcmpSockets sockets);

} // namespace vq::net
