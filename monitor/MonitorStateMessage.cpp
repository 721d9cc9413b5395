#include "monitor/MonitorStateMessage.h"

#include "netmodel/HostAddress.h"

namespace vq {

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
