#pragma once

#include "runtime/Timestamp.h"

#include <cstdint>
#include <string>

namespace vq {

class HostAddress;

// One capture adapter as the network model sees it. Owns its host only when the host's owner is
// this interface.
class InterfaceInfo {
public:
    InterfaceInfo(int16_t number, std::string name, std::string description, uint32_t medium,
                  uint32_t maximumTotalSize, uint64_t linkSpeed, std::string ipAddress,
                  std::string physicalAddress, HostAddress* host);
    explicit InterfaceInfo(int16_t number);
    // Every field, the host shared; NullCopy leaves the host empty.
    InterfaceInfo(const InterfaceInfo& other, int copyMode);
    ~InterfaceInfo();
    InterfaceInfo(const InterfaceInfo&) = delete;
    InterfaceInfo& operator=(const InterfaceInfo&) = delete;

    // Number -1, empty texts, the host with no address.
    static InterfaceInfo& Invalid();

    void SetHost(HostAddress* host);
    HostAddress* GetHost() const { return m_Host; }
    bool IsEqual(const InterfaceInfo& other) const;
    std::string GetText() const;

    int16_t GetNumber() const { return m_Number; }
    const std::string& GetName() const { return m_Name; }
    const std::string& GetDescription() const { return m_Description; }
    const std::string& GetIpAddress() const { return m_IpAddress; }
    const std::string& GetPhysicalAddress() const { return m_PhysicalAddress; }
    uint32_t GetMedium() const { return m_Medium; }
    uint32_t GetMaximumTotalSize() const { return m_MaximumTotalSize; }
    uint64_t GetLinkSpeed() const { return m_LinkSpeed; }

    Timestamp m_FirstTime;
    Timestamp m_LastTime;

private:
    int16_t m_Number = -1;
    std::string m_Name;
    std::string m_Description;
    std::string m_IpAddress;
    std::string m_PhysicalAddress;
    uint32_t m_Medium = 0;
    uint32_t m_MaximumTotalSize = 0;
    uint64_t m_LinkSpeed = 0;
    HostAddress* m_Host;
};

} // namespace vq
