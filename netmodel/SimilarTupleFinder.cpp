#include "netmodel/SimilarTupleFinder.h"

#include "netmodel/TAO.h"

#include <algorithm>

namespace vq {

namespace {

uint64_t Mix(uint64_t x) {
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

} // namespace

size_t SimilarTupleFinder::KeyHash::operator()(const Key& key) const noexcept {
    uint64_t low = 0, high = 0;
    for (int i = 0; i < 4; ++i)
        low = low << 16 | key.fields[size_t(i)];
    for (int i = 4; i < 8; ++i)
        high = high << 16 | key.fields[size_t(i)];
    uint64_t h = Mix(reinterpret_cast<uintptr_t>(key.source) ^ 0x9E3779B97F4A7C15ULL);
    h = Mix(h ^ reinterpret_cast<uintptr_t>(key.destination));
    h = Mix(h ^ low);
    return size_t(Mix(h ^ high));
}

void SimilarTupleFinder::Hold(HostAddress* host) {
    if (host == nullptr) return;
    int& uses = m_HostUses[host];
    if (uses++ == 0) {
        try {
            m_Hosts.Insert(*host, 0);
        } catch (...) {
            m_HostUses.erase(host);
            throw;
        }
    }
}

void SimilarTupleFinder::Drop(HostAddress* host) {
    if (host == nullptr) return;
    auto it = m_HostUses.find(host);
    if (it == m_HostUses.end() || --it->second > 0) return;
    m_Hosts.Remove(*host);
    m_HostUses.erase(it);
}

void SimilarTupleFinder::Add(TAO& tao, uint64_t order) {
    const Tuple* tuple = tao.GetTuple();
    if (tuple == nullptr) return;
    // The hosts first and undone on failure, so that running out of memory leaves nothing behind.
    Hold(tuple->GetSource());
    try {
        Hold(tuple->GetDestination());
    } catch (...) {
        Drop(tuple->GetSource());
        throw;
    }
    try {
        Slot& slot = m_Exact[KeyOf(*tuple)];
        if (slot.first == nullptr) {
            slot.first = &tao;
            slot.firstOrder = order;
        } else {
            slot.more.push_back({order, &tao});
        }
    } catch (...) {
        Drop(tuple->GetDestination());
        Drop(tuple->GetSource());
        throw;
    }
    if (tuple->GetSource() == nullptr) ++m_NullSources;
    if (tuple->GetDestination() == nullptr) ++m_NullDestinations;
}

void SimilarTupleFinder::Remove(TAO& tao, uint64_t order) {
    const Tuple* tuple = tao.GetTuple();
    if (tuple == nullptr) return;
    auto it = m_Exact.find(KeyOf(*tuple));
    if (it == m_Exact.end()) return;
    Slot& slot = it->second;
    if (slot.first == &tao) {
        if (slot.more.empty()) {
            m_Exact.erase(it);
        } else {
            slot.first = slot.more.front().second;
            slot.firstOrder = slot.more.front().first;
            slot.more.erase(slot.more.begin());
        }
    } else {
        auto entry = std::find(slot.more.begin(), slot.more.end(), std::pair<uint64_t, TAO*>{order, &tao});
        if (entry == slot.more.end()) return;
        slot.more.erase(entry);
    }
    Drop(tuple->GetSource());
    Drop(tuple->GetDestination());
    if (tuple->GetSource() == nullptr) --m_NullSources;
    if (tuple->GetDestination() == nullptr) --m_NullDestinations;
}

void SimilarTupleFinder::Clear() {
    m_Exact.clear();
    m_Hosts.Clear();
    m_HostUses.clear();
    m_NullSources = m_NullDestinations = 0;
}

void SimilarTupleFinder::CollectEqual(const HostAddress* host, bool nullSide,
                                      std::vector<const HostAddress*>& out) const {
    const HostAddress& probe = HostOrInvalid(host);
    m_Hosts.ForEachEqual(probe, [&](HostAddress& equal, uint64_t) { out.push_back(&equal); });
    // A missing host counts as the host with no address.
    if (nullSide && probe.GetValidVector() == 0) out.push_back(nullptr);
}

TAO* SimilarTupleFinder::Find(const HostAddress* source, const HostAddress* destination,
                              const Tuple::Fields& fields, Rule rule) const {
    m_Sources.clear();
    m_Destinations.clear();
    if (rule == Rule::Similar) {
        CollectEqual(source, m_NullSources > 0, m_Sources);
        CollectEqual(destination, m_NullDestinations > 0, m_Destinations);
    } else {
        if (destination == nullptr) return nullptr;
        m_Sources.push_back(source);
        m_Hosts.ForEachEqual(*destination,
                             [&](HostAddress& equal, uint64_t) { m_Destinations.push_back(&equal); });
        if (std::find(m_Destinations.begin(), m_Destinations.end(), destination) == m_Destinations.end())
            m_Destinations.push_back(destination);
        if (m_NullDestinations > 0) m_Destinations.push_back(nullptr);
    }
    TAO* best = nullptr;
    uint64_t bestOrder = 0;
    for (const HostAddress* s : m_Sources) {
        for (const HostAddress* d : m_Destinations) {
            auto it = m_Exact.find(Key{s, d, fields});
            if (it == m_Exact.end()) continue;
            if (best == nullptr || it->second.firstOrder < bestOrder) {
                best = it->second.first;
                bestOrder = it->second.firstOrder;
            }
        }
    }
    return best;
}

} // namespace vq
