#pragma once

#include "netmodel/HostAddressList.h"
#include "netmodel/NameKey.h"

#include <memory>
#include <unordered_map>

namespace vq {

// The hosts of one MAC address: the primary list holds the MAC's primary host; the IP and IPX maps
// hold the hosts with this MAC by network address. Each part exists only while it holds a host.
class HostIndexElementMAC {
public:
    using AddressMap = std::unordered_map<NameKey, HostAddressList, NameKeyHash>;

    HostAddressList* GetPrimary() const { return m_Primary.get(); }
    HostAddressList& Primary();
    AddressMap* GetIpMap() const { return m_IpMap.get(); }
    AddressMap* GetIpxMap() const { return m_IpxMap.get(); }
    HostAddressList& IpList(const NameKey& key);
    HostAddressList& IpxList(const NameKey& key);

    // Takes the host out of every part, dropping parts that become empty.
    void Remove(const HostAddress* host);
    // After an add that ran out of memory: drops the parts it created and left empty.
    void DropEmptyParts();
    bool Contains(const HostAddress* host) const;
    // Hosts in the lists plus keys in the maps.
    int Count() const;
    bool IsEmpty() const { return !m_Primary && !m_IpMap && !m_IpxMap; }

    // Test hooks for the integrity check.
    void SetPrimary(std::unique_ptr<HostAddressList> list) { m_Primary = std::move(list); }

private:
    std::unique_ptr<HostAddressList> m_Primary;
    std::unique_ptr<AddressMap> m_IpMap;
    std::unique_ptr<AddressMap> m_IpxMap;
};

} // namespace vq
