#include "platform/net/IcmpEcho.h"

#include "platform/net/IcmpAnswer.h"
#include "platform/net/ThreadLastError.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace vq::net {

struct IcmpChannel {
    int socket = -1;
    bool raw = false;
    uint16_t identifier = 0; // raw sockets only: the kernel picks it for datagram sockets
};

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<IcmpLoader> currentLoader{nullptr};
std::atomic<uint32_t> loaderGeneration{0};
std::atomic<IcmpSockets> allowedSockets{IcmpSockets::DatagramThenRaw};
std::atomic<uint16_t> nextSequence{1};
std::atomic<uint16_t> nextIdentifier{0};

constexpr size_t kMaxDatagram = 65535;

IcmpChannel* OpenChannel(bool raw) {
    int fd = socket(AF_INET, (raw ? SOCK_RAW : SOCK_DGRAM) | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0) return nullptr;
    if (!raw) {
        int on = 1;
        if (setsockopt(fd, IPPROTO_IP, IP_RECVTTL, &on, sizeof on) != 0 ||
            setsockopt(fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on) != 0) {
            close(fd);
            return nullptr;
        }
    }
    uint16_t identifier = raw ? uint16_t(getpid() ^ (nextIdentifier.fetch_add(1) << 8)) : 0;
    return new IcmpChannel{fd, raw, identifier};
}

IcmpHandle SystemCreateFile() {
    IcmpSockets sockets = allowedSockets.load();
    IcmpChannel* channel = nullptr;
    if (sockets != IcmpSockets::RawOnly) channel = OpenChannel(false);
    if (!channel && sockets != IcmpSockets::DatagramOnly) channel = OpenChannel(true);
    return channel;
}

bool SystemCloseHandle(IcmpHandle handle) {
    if (!handle) {
        SetThreadLastError(kErrorInvalidHandle);
        return false;
    }
    close(handle->socket);
    delete handle;
    return true;
}

uint16_t Checksum(std::span<const uint8_t> bytes) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        sum += uint32_t(bytes[i] << 8 | bytes[i + 1]);
    if (bytes.size() % 2) sum += uint32_t(bytes.back() << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return uint16_t(~sum);
}

std::vector<uint8_t> EchoRequest(uint16_t identifier, uint16_t sequence, const void* data, uint16_t size) {
    std::vector<uint8_t> message(8 + size_t(size));
    message[0] = ICMP_ECHO;
    message[4] = uint8_t(identifier >> 8);
    message[5] = uint8_t(identifier);
    message[6] = uint8_t(sequence >> 8);
    message[7] = uint8_t(sequence);
    if (size) std::memcpy(message.data() + 8, data, size);
    uint16_t sum = Checksum(message);
    message[2] = uint8_t(sum >> 8);
    message[3] = uint8_t(sum);
    return message;
}

bool ApplyOptions(const IcmpChannel& channel, const IpOptionInformation* options) {
    int ttl = options && options->Ttl ? options->Ttl : 128;
    int tos = options ? options->Tos : 0;
    int discover = options && (options->Flags & kIpFlagDontFragment) ? IP_PMTUDISC_DO : IP_PMTUDISC_DONT;
    return setsockopt(channel.socket, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl) == 0 &&
           setsockopt(channel.socket, IPPROTO_IP, IP_TOS, &tos, sizeof tos) == 0 &&
           setsockopt(channel.socket, IPPROTO_IP, IP_MTU_DISCOVER, &discover, sizeof discover) == 0;
}

uint32_t StatusFromSendError(int error) {
    switch (error) {
    case ENETUNREACH:
        return IpDestNetUnreachable;
    case EHOSTUNREACH:
        return IpDestHostUnreachable;
    case EMSGSIZE:
        return IpPacketTooBig;
    default:
        return IpGeneralFailure;
    }
}

// Where the caller's buffer takes the reply: the record first, then as much data as fits.
class ReplyWriter {
public:
    ReplyWriter(void* buffer, uint32_t size) : buffer_(static_cast<uint8_t*>(buffer)), size_(size) {}

    void Write(const IcmpAnswer& answer, Clock::time_point sent) {
        IcmpEchoReply reply;
        reply.Address = answer.from;
        reply.Status = answer.status;
        reply.RoundTripTime =
            uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count());
        size_t room = size_ - sizeof(IcmpEchoReply);
        reply.DataSize = uint16_t(std::min(answer.data.size(), room));
        reply.Data = buffer_ + sizeof(IcmpEchoReply);
        reply.Options.Ttl = answer.ttl;
        if (reply.DataSize) std::memcpy(reply.Data, answer.data.data(), reply.DataSize);
        std::memcpy(buffer_, &reply, sizeof reply);
    }

private:
    uint8_t* buffer_;
    uint32_t size_;
};

// A datagram socket's error queue holds the ICMP errors that answer what it sent, with the
// router's address; the quoted bytes are our own request, so its sequence tells whose it is.
std::optional<IcmpAnswer> ReadQueuedError(int fd, uint16_t sequence) {
    std::array<uint8_t, 576> quoted{};
    alignas(cmsghdr) std::array<uint8_t, 512> control{};
    sockaddr_in from{};
    iovec io{quoted.data(), quoted.size()};
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    ssize_t got = recvmsg(fd, &message, MSG_ERRQUEUE | MSG_DONTWAIT);
    if (got < 0) return std::nullopt;
    bool ours = got >= 8 && uint16_t(quoted[6] << 8 | quoted[7]) == sequence;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_RECVERR) continue;
        sock_extended_err error;
        std::memcpy(&error, CMSG_DATA(c), sizeof error);
        if (!ours) return std::nullopt;
        IcmpAnswer answer;
        if (error.ee_origin == SO_EE_ORIGIN_ICMP) {
            answer.status = IpStatusFromIcmpError(error.ee_type, error.ee_code);
            sockaddr_in offender;
            std::memcpy(&offender, SO_EE_OFFENDER(reinterpret_cast<sock_extended_err*>(CMSG_DATA(c))),
                        sizeof offender);
            answer.from = offender.sin_addr.s_addr;
        } else {
            answer.status = StatusFromSendError(int(error.ee_errno));
        }
        return answer;
    }
    return std::nullopt;
}

std::optional<IcmpAnswer> ReadDatagramReply(int fd, uint16_t sequence, std::vector<uint8_t>& buffer) {
    alignas(cmsghdr) std::array<uint8_t, 256> control{};
    sockaddr_in from{};
    iovec io{buffer.data(), buffer.size()};
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    ssize_t got = recvmsg(fd, &message, MSG_DONTWAIT);
    if (got < 8 || buffer[0] != ICMP_ECHOREPLY || uint16_t(buffer[6] << 8 | buffer[7]) != sequence)
        return std::nullopt;
    IcmpAnswer answer;
    answer.from = from.sin_addr.s_addr;
    answer.data = std::span<const uint8_t>(buffer).subspan(8, size_t(got) - 8);
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL) {
            int ttl;
            std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
            answer.ttl = uint8_t(ttl);
        }
    }
    return answer;
}

std::optional<IcmpAnswer> ReadRawReply(const IcmpChannel& channel, uint16_t sequence, uint32_t destination,
                                       std::vector<uint8_t>& buffer) {
    ssize_t got = recv(channel.socket, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (got <= 0) return std::nullopt;
    return ParseRawIcmpAnswer(std::span<const uint8_t>(buffer.data(), size_t(got)), channel.identifier,
                              sequence, destination);
}

uint32_t SystemSendEcho(IcmpHandle handle, uint32_t destination, const void* requestData,
                        uint16_t requestSize, const IpOptionInformation* options, void* replyBuffer,
                        uint32_t replySize, uint32_t timeout) {
    if (!handle) {
        SetThreadLastError(kErrorInvalidHandle);
        return 0;
    }
    if (!replyBuffer || replySize < sizeof(IcmpEchoReply) + requestSize || (requestSize && !requestData)) {
        SetThreadLastError(IpBufTooSmall);
        return 0;
    }
    if (!ApplyOptions(*handle, options)) {
        SetThreadLastError(IpBadOption);
        return 0;
    }
    uint16_t sequence = nextSequence.fetch_add(1);
    std::vector<uint8_t> request = EchoRequest(handle->identifier, sequence, requestData, requestSize);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = destination;
    Clock::time_point sent = Clock::now();
    if (sendto(handle->socket, request.data(), request.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&to),
               sizeof to) < 0) {
        SetThreadLastError(StatusFromSendError(errno));
        return 0;
    }

    std::vector<uint8_t> buffer(kMaxDatagram);
    Clock::time_point deadline = sent + std::chrono::milliseconds(timeout);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        pollfd ready{handle->socket, POLLIN, 0};
        int events = poll(&ready, 1, int(std::min<int64_t>(left, INT32_MAX)));
        if (events == 0) break;
        if (events < 0) {
            if (errno == EINTR) continue;
            SetThreadLastError(IpGeneralFailure);
            return 0;
        }
        std::optional<IcmpAnswer> answer;
        if (handle->raw)
            answer = ReadRawReply(*handle, sequence, destination, buffer);
        else if (ready.revents & POLLERR)
            answer = ReadQueuedError(handle->socket, sequence);
        else
            answer = ReadDatagramReply(handle->socket, sequence, buffer);
        if (answer) {
            ReplyWriter(replyBuffer, replySize).Write(*answer, sent);
            return 1;
        }
    }
    SetThreadLastError(IpReqTimedOut);
    return 0;
}

IcmpBinding SystemLoader(const std::string& name) {
    if (strcasecmp(name.c_str(), "ICMP.DLL") != 0) return {};
    return {SystemCreateFile, SystemSendEcho, SystemCloseHandle};
}

} // namespace

IcmpBinding LoadIcmpLibrary(const std::string& name) {
    IcmpLoader loader = currentLoader.load();
    return loader ? loader(name) : SystemLoader(name);
}

IcmpLoader SetIcmpLoader(IcmpLoader loader) {
    IcmpLoader previous = currentLoader.exchange(loader);
    loaderGeneration.fetch_add(1);
    return previous;
}

uint32_t IcmpLoaderGeneration() {
    return loaderGeneration.load();
}

IcmpSockets SetIcmpSockets(IcmpSockets sockets) {
    return allowedSockets.exchange(sockets);
}

} // namespace vq::net
