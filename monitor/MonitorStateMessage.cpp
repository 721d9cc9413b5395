#include "monitor/MonitorStateMessage.h"

#include "capture/AdapterInfo.h"
#include "netmodel/HostAddress.h"
#include "runtime/EngineGlobals.h"

#include <new>

namespace vq {

MonitorStateAdaptersMessage::MonitorStateAdaptersMessage(std::unique_ptr<AdapterInfoSet> adapters,
                                                         int32_t reason, bool wantsReply,
                                                         bool receiverDeletes)
    : MonitorStateMessage(WM_State_Adapters, wantsReply, receiverDeletes), m_Reason(reason),
      m_Adapters(adapters ? std::move(adapters) : std::make_unique<AdapterInfoSet>()) {}

MonitorStateAdaptersMessage::MonitorStateAdaptersMessage(const MonitorStateAdaptersMessage& request)
    : MonitorStateMessage(request), m_Reason(request.m_Reason),
      m_Adapters(std::make_unique<AdapterInfoSet>()) {}

MonitorStateAdaptersMessage::~MonitorStateAdaptersMessage() = default;

bool MonitorStateAdaptersMessage::Announce(std::unique_ptr<AdapterInfoSet> adapters, int32_t reason) {
    std::unique_ptr<MonitorStateAdaptersMessage> message;
    try {
        message = std::make_unique<MonitorStateAdaptersMessage>(std::move(adapters), reason, false, true);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!message->Send(Engine().m_ThreadPool.GetMainThread())) return false;
    message.release();
    return true;
}

MonitorStateAddressMessage::MonitorStateAddressMessage(int32_t changeBits, const HostAddress& host,
                                                       bool wantsReply, bool receiverDeletes)
    : MonitorStateAddressMessage(changeBits, std::make_unique<HostAddress>(host, DeepCopy), wantsReply,
                                 receiverDeletes) {}

MonitorStateAddressMessage::MonitorStateAddressMessage(int32_t changeBits, std::unique_ptr<HostAddress> host,
                                                       bool wantsReply, bool receiverDeletes)
    : MonitorStateMessage(WM_State_Address, wantsReply, receiverDeletes), m_ChangeBits(changeBits),
      m_Host(std::move(host)) {
    m_Host->SetOwner(this);
}

MonitorStateAddressMessage::MonitorStateAddressMessage(const MonitorStateAddressMessage& request)
    : MonitorStateMessage(request), m_ChangeBits(request.m_ChangeBits),
      m_Host(std::make_unique<HostAddress>(*request.m_Host, DeepCopy)) {
    m_Host->SetOwner(this);
}

MonitorStateAddressMessage::~MonitorStateAddressMessage() = default;

MacAddress& MonitorStateAddressMessage::GetMacAddress() const {
    return m_Host->GetMac();
}

IpAddress& MonitorStateAddressMessage::GetIpAddress() const {
    return m_Host->GetIp();
}

IpxAddress& MonitorStateAddressMessage::GetIpxAddress() const {
    return m_Host->GetIpx();
}

} // namespace vq
