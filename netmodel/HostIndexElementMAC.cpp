#include "netmodel/HostIndexElementMAC.h"

#include <algorithm>

namespace vq {

namespace {

bool EraseFrom(HostAddressList& list, const HostAddress* host) {
    auto it = std::find(list.begin(), list.end(), host);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

void EraseFromMap(std::unique_ptr<HostIndexElementMAC::AddressMap>& map, const HostAddress* host) {
    if (!map) return;
    for (auto it = map->begin(); it != map->end();) {
        if (EraseFrom(it->second, host) && it->second.empty())
            it = map->erase(it);
        else
            ++it;
    }
    if (map->empty()) map.reset();
}

void DropEmptyLists(std::unique_ptr<HostIndexElementMAC::AddressMap>& map) {
    if (!map) return;
    std::erase_if(*map, [](const auto& entry) { return entry.second.empty(); });
    if (map->empty()) map.reset();
}

bool MapContains(const HostIndexElementMAC::AddressMap* map, const HostAddress* host) {
    if (map == nullptr) return false;
    for (const auto& [key, list] : *map)
        if (std::find(list.begin(), list.end(), host) != list.end()) return true;
    return false;
}

} // namespace

HostAddressList& HostIndexElementMAC::Primary() {
    if (!m_Primary) m_Primary = std::make_unique<HostAddressList>();
    return *m_Primary;
}

HostAddressList& HostIndexElementMAC::IpList(const NameKey& key) {
    if (!m_IpMap) m_IpMap = std::make_unique<AddressMap>();
    return (*m_IpMap)[key];
}

HostAddressList& HostIndexElementMAC::IpxList(const NameKey& key) {
    if (!m_IpxMap) m_IpxMap = std::make_unique<AddressMap>();
    return (*m_IpxMap)[key];
}

void HostIndexElementMAC::Remove(const HostAddress* host) {
    if (m_Primary && EraseFrom(*m_Primary, host) && m_Primary->empty()) m_Primary.reset();
    EraseFromMap(m_IpMap, host);
    EraseFromMap(m_IpxMap, host);
}

void HostIndexElementMAC::DropEmptyParts() {
    if (m_Primary && m_Primary->empty()) m_Primary.reset();
    DropEmptyLists(m_IpMap);
    DropEmptyLists(m_IpxMap);
}

bool HostIndexElementMAC::Contains(const HostAddress* host) const {
    if (m_Primary && std::find(m_Primary->begin(), m_Primary->end(), host) != m_Primary->end()) return true;
    return MapContains(m_IpMap.get(), host) || MapContains(m_IpxMap.get(), host);
}

int HostIndexElementMAC::Count() const {
    int count = m_Primary ? int(m_Primary->size()) : 0;
    if (m_IpMap) count += int(m_IpMap->size());
    if (m_IpxMap) count += int(m_IpxMap->size());
    return count;
}

} // namespace vq
