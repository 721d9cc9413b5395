#include "events/CPing.h"

#include "platform/core/Format.h"
#include "platform/net/ThreadLastError.h"

#include <cstring>
#include <memory>
#include <mutex>

using namespace vq::net;

namespace {

constexpr uint32_t kErrorInvalidAddress = 487; // an entry point of the echo library is missing
constexpr uint32_t kErrorInternal = 1064;

struct StatusText {
    uint32_t code;
    const char* text;
};

constexpr StatusText kStatusTexts[] = {
    {IpSuccess, "IP_SUCCESS: Success"},
    {IpBufTooSmall, "IP_BUFF_TOO_SMALL: Buffer too small"},
    {IpDestNetUnreachable, "IP_DEST_NET_UNREACHABLE: Network unreachable"},
    {IpDestHostUnreachable, "IP_DEST_HOST_UNREACHABLE: Destination Host Unreachable"},
    {IpDestProtUnreachable, "IP_DEST_PROT_UNREACHABLE"},
    {IpDestPortUnreachable, "IP_DEST_PORT_UNREACHABLE"},
    {IpNoResources, "IP_NO_RESOURCES"},
    {IpBadOption, "IP_BAD_OPTION"},
    {IpHwError, "IP_HW_ERROR: Hardware Error"},
    {IpPacketTooBig, "IP_PACKET_TOO_BIG: Packet too big"},
    {IpReqTimedOut, "IP_REQ_TIMED_OUT: Request timed out"},
    {IpBadReq, "IP_BAD_REQ"},
    {IpBadRoute, "IP_BAD_ROUTE"},
    {IpTtlExpiredTransit, "IP_TTL_EXPIRED_TRANSIT"},
    {IpTtlExpiredReassem, "IP_TTL_EXPIRED_REASSEM"},
    {IpParamProblem, "IP_PARAM_PROBLEM"},
    {IpSourceQuench, "IP_SOURCE_QUENCH"},
    {IpOptionTooBig, "IP_OPTION_TOO_BIG"},
    {IpBadDestination, "IP_BAD_DESTINATION"},
    {IpAddrDeleted, "IP_ADDR_DELETED"},
    {IpSpecMtuChange, "IP_SPEC_MTU_CHANGE"},
    {IpMtuChange, "IP_MTU_CHANGE"},
    {IpGeneralFailure, "IP_GENERAL_FAILURE"},
    {IpPending, "IP_PENDING"},
};

// The process's binding to the echo library. A binding that came back incomplete is asked for
// again by the next ping object, so it is read and written under a lock.
class EchoLibrary {
public:
    static EchoLibrary& Instance() {
        static EchoLibrary library;
        return library;
    }

    IcmpBinding Bind() {
        std::lock_guard lock(mutex_);
        uint32_t generation = IcmpLoaderGeneration();
        if (!IsComplete() || generation != generation_) {
            binding_ = LoadIcmpLibrary("ICMP.DLL");
            generation_ = generation;
        }
        return binding_;
    }

private:
    bool IsComplete() const {
        return binding_.IcmpCreateFile && binding_.IcmpSendEcho && binding_.IcmpCloseHandle;
    }

    std::mutex mutex_;
    IcmpBinding binding_;
    uint32_t generation_ = 0;
};

// Closes the echo handle on every way out.
class EchoHandle {
public:
    EchoHandle(const IcmpBinding& binding, IcmpHandle handle) : binding_(binding), handle_(handle) {}
    ~EchoHandle() {
        if (handle_ && binding_.IcmpCloseHandle) binding_.IcmpCloseHandle(handle_);
    }
    EchoHandle(const EchoHandle&) = delete;
    EchoHandle& operator=(const EchoHandle&) = delete;
    IcmpHandle Get() const { return handle_; }

private:
    const IcmpBinding& binding_;
    IcmpHandle handle_;
};

} // namespace

CPing::CPing() {
    EchoLibrary::Instance().Bind();
}

std::string CPing::GetStatusText(uint32_t code) {
    for (const StatusText& row : kStatusTexts)
        if (row.code == code) return row.text;
    return vq::Format("Unknown error %lu", static_cast<unsigned long>(code));
}

int CPing::Ping(const char* host, CPingResults* results, uint8_t ttl) {
    m_ErrorCode = 0;
    try {
        IcmpBinding binding = EchoLibrary::Instance().Bind();
        if (!binding.IcmpCreateFile) {
            m_ErrorCode = kErrorInvalidAddress;
            return 0;
        }
        EchoHandle handle(binding, binding.IcmpCreateFile());
        if (!handle.Get()) {
            m_ErrorCode = vq::net::kErrorInvalidHandle;
            return 0;
        }
        // The reply's record, then room for the echoed data.
        auto reply = std::make_unique<uint8_t[]>(sizeof(IcmpEchoReply) + kRequestSize);
        ResolveHost(host);
        IpOptionInformation options;
        options.Ttl = ttl;
        if (!binding.IcmpSendEcho) {
            m_ErrorCode = kErrorInvalidAddress;
            return 0;
        }
        uint32_t address = Api().inet_addr(m_Address.c_str());
        if (m_Address.empty() || address == kNoAddress) {
            if (m_ErrorCode == 0) m_ErrorCode = IpBadDestination;
            return 0;
        }
        uint32_t replies =
            binding.IcmpSendEcho(handle.Get(), address, kRequestData, kRequestSize, &options, reply.get(),
                                 uint32_t(sizeof(IcmpEchoReply) + kRequestSize), kTimeout);
        if (replies == 0) {
            m_ErrorCode = GetThreadLastError();
            return 0;
        }
        IcmpEchoReply first;
        std::memcpy(&first, reply.get(), sizeof first);
        if (results) results->SetFromReply(&first);
        if (first.Status != IpSuccess) {
            m_ErrorCode = first.Status;
            return 0;
        }
        return int(replies);
    } catch (...) {
        m_ErrorCode = kErrorInternal;
        return 0;
    }
}
