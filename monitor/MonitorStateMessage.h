#pragma once

#include "monitor/AnswerCopy.h"
#include "runtime/MessageIds.h"
#include "runtime/ThreadMessage.h"

#include <array>
#include <cstdint>
#include <memory>

namespace vq {

class AdapterInfoSet;
class HostAddress;
class IpAddress;
class IpxAddress;
class MacAddress;

// A report of the monitor to the main thread. Everything it carries is its own copy, so the two
// threads never share the monitor's live objects through it.
class MonitorStateMessage : public ThreadMessage {
public:
    const char* GetClassName() const override { return "MonitorStateMessage"; }

protected:
    using ThreadMessage::ThreadMessage;
    explicit MonitorStateMessage(const MonitorStateMessage& request) : ThreadMessage(request) {}
};

// The descriptions of the adapters, owned by the message. The reason (1 after the set opened its
// adapters, 5 when one adapter learned its address) is not read by the receiver.
class MonitorStateAdaptersMessage final : public MonitorStateMessage {
public:
    // Takes the descriptions the capture side made.
    MonitorStateAdaptersMessage(std::unique_ptr<AdapterInfoSet> adapters, int32_t reason, bool wantsReply,
                                bool receiverDeletes);
    // The answer carries the reason and no descriptions.
    MonitorStateAdaptersMessage(const MonitorStateAdaptersMessage& request);
    ~MonitorStateAdaptersMessage() override;

    int32_t GetReason() const { return m_Reason; }
    const AdapterInfoSet& GetAdapters() const { return *m_Adapters; }
    bool SendReply() override { return SendAnswerCopy(*this); }
    const char* GetClassName() const override { return "MonitorStateAdaptersMessage"; }

    // Sends the descriptions to the main thread; false when refused or out of memory, and the
    // descriptions are dropped.
    static bool Announce(std::unique_ptr<AdapterInfoSet> adapters, int32_t reason);

private:
    int32_t m_Reason;
    std::unique_ptr<AdapterInfoSet> m_Adapters;
};

// A host that was learned or whose addresses changed state, as a deep copy owned by the message.
class MonitorStateAddressMessage final : public MonitorStateMessage {
public:
    // Copies the host deeply.
    MonitorStateAddressMessage(int32_t changeBits, const HostAddress& host, bool wantsReply,
                               bool receiverDeletes);
    // Takes a deep copy already made.
    MonitorStateAddressMessage(int32_t changeBits, std::unique_ptr<HostAddress> host, bool wantsReply,
                               bool receiverDeletes);
    MonitorStateAddressMessage(const MonitorStateAddressMessage& request);
    ~MonitorStateAddressMessage() override;

    int32_t GetChangeBits() const { return m_ChangeBits; }
    const HostAddress& GetHost() const { return *m_Host; }
    MacAddress& GetMacAddress() const;
    IpAddress& GetIpAddress() const;
    IpxAddress& GetIpxAddress() const;
    bool SendReply() override { return SendAnswerCopy(*this); }
    const char* GetClassName() const override { return "MonitorStateAddressMessage"; }

private:
    int32_t m_ChangeBits;
    std::unique_ptr<HostAddress> m_Host;
};

// Option switches for GlobalState: 0 off, 1 on, anything else leaves the switch alone.
template <uint32_t Id, const char* Name> class MonitorStateOptionsMessage final : public MonitorStateMessage {
public:
    static constexpr std::size_t kOptionCount = 7;

    MonitorStateOptionsMessage(int32_t value, bool wantsReply, bool receiverDeletes)
        : MonitorStateMessage(Id, wantsReply, receiverDeletes) {
        m_Options.fill(value);
    }
    MonitorStateOptionsMessage(const MonitorStateOptionsMessage& request)
        : MonitorStateMessage(request), m_Options(request.m_Options) {}

    void SetOption(std::size_t index, int32_t value) { m_Options[index] = value; }
    int32_t GetOption(std::size_t index) const { return m_Options[index]; }
    bool SendReply() override { return SendAnswerCopy(*this); }
    const char* GetClassName() const override { return Name; }

private:
    std::array<int32_t, kOptionCount> m_Options{};
};

inline constexpr char kMonitorStateAnnounceName[] = "MonitorStateAnnounceMessage";
inline constexpr char kMonitorStateIntegrityCheckName[] = "MonitorStateIntegrityCheckMessage";

using MonitorStateAnnounceMessage = MonitorStateOptionsMessage<WM_State_Announce, kMonitorStateAnnounceName>;
using MonitorStateIntegrityCheckMessage =
    MonitorStateOptionsMessage<WM_State_IntegrityCheck, kMonitorStateIntegrityCheckName>;

} // namespace vq
