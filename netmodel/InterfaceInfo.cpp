#include "netmodel/InterfaceInfo.h"

#include "netmodel/HostAddress.h"
#include "platform/core/Format.h"

namespace vq {

InterfaceInfo::InterfaceInfo(int16_t number, std::string name, std::string description, uint32_t medium,
                             uint32_t maximumTotalSize, uint64_t linkSpeed, std::string ipAddress,
                             std::string physicalAddress, HostAddress* host)
    : m_Number(number), m_Name(std::move(name)), m_Description(std::move(description)),
      m_IpAddress(std::move(ipAddress)), m_PhysicalAddress(std::move(physicalAddress)), m_Medium(medium),
      m_MaximumTotalSize(maximumTotalSize), m_LinkSpeed(linkSpeed), m_Host(nullptr) {
    SetHost(host);
}

InterfaceInfo::InterfaceInfo(int16_t number) : m_Number(number), m_Host(&HostAddress::Invalid()) {}

InterfaceInfo::InterfaceInfo(const InterfaceInfo& other, int copyMode)
    : m_FirstTime(), m_LastTime(), m_Number(other.m_Number), m_Name(other.m_Name),
      m_Description(other.m_Description), m_IpAddress(other.m_IpAddress),
      m_PhysicalAddress(other.m_PhysicalAddress), m_Medium(other.m_Medium),
      m_MaximumTotalSize(other.m_MaximumTotalSize), m_LinkSpeed(other.m_LinkSpeed),
      m_Host(copyMode == NullCopy ? nullptr : other.m_Host) {}

InterfaceInfo::~InterfaceInfo() {
    SetHost(nullptr);
}

InterfaceInfo& InterfaceInfo::Invalid() {
    static InterfaceInfo invalid(-1);
    return invalid;
}

void InterfaceInfo::SetHost(HostAddress* host) {
    if (m_Host == host) return;
    if (m_Host != nullptr && m_Host->IsOwnedBy(this)) delete m_Host;
    m_Host = host;
    if (host != nullptr) host->Adopt(this);
}

bool InterfaceInfo::IsEqual(const InterfaceInfo& other) const {
    if (this == &other) return true;
    if (m_Number != other.m_Number) return false;
    if (!other.m_Name.empty() && m_Name != other.m_Name) return false;
    return other.m_Host == nullptr || other.m_Host->GetValidVector() == 0 || other.m_Host == m_Host;
}

std::string InterfaceInfo::GetText() const {
    std::string text =
        Format("ifnum=%d ifname=%s ifhost=", m_Number, m_Name.empty() ? "NULL" : m_Name.c_str());
    if (m_Host == nullptr || m_Host->GetValidVector() == 0) return text + "LOCAL";
    return text + m_Host->GetText(false);
}

} // namespace vq
