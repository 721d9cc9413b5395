#include "netmodel/SimilarTupleFinder.h"

#include "netmodel/TAO.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace vq {

namespace {

uint64_t Mix(uint64_t x) {
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

constexpr size_t kFirstCapacity = 16;

// Finders live on several threads. Relaxed is enough: the counter hands out distinct numbers, and
// nothing else is published through it.
std::atomic<uint64_t> g_NextToken{1};

} // namespace

uint64_t SimilarTupleFinder::GetToken() const {
    const uint64_t stamp = GetStamp();
    if (m_Token == 0 || stamp != m_TokenStamp) {
        m_Token = g_NextToken.fetch_add(1, std::memory_order_relaxed);
        m_TokenStamp = stamp;
    }
    return m_Token;
}

uint64_t SimilarTupleFinder::HashOf(const Key& key) {
    uint64_t low, high;
    static_assert(sizeof(key.fields) == sizeof(low) + sizeof(high));
    std::memcpy(&low, key.fields.data(), sizeof(low));
    std::memcpy(&high, key.fields.data() + 4, sizeof(high));
    // Each part multiplied by its own odd constant, then one finishing mix.
    const uint64_t h = reinterpret_cast<uintptr_t>(key.source) * 0x9E3779B97F4A7C15ULL ^
                       reinterpret_cast<uintptr_t>(key.destination) * 0xC2B2AE3D27D4EB4FULL ^
                       low * 0x165667B19E3779F9ULL ^ high * 0xD6E8FEB86659FD93ULL;
    return Mix(h);
}

uint64_t SimilarTupleFinder::OrderOf(const TAO& tao) {
    return tao.m_PoolOrder;
}

bool SimilarTupleFinder::HasKey(const Slot& slot, uint64_t hash, const Key& key, const Tuple* keyTuple) {
    if (slot.hash != hash) return false;
    const Tuple* tuple = slot.tao->GetTuple();
    return tuple == keyTuple || KeyOf(*tuple) == key;
}

const SimilarTupleFinder::Slot* SimilarTupleFinder::FindSlot(const Key& key, uint64_t hash,
                                                             const Tuple* keyTuple) const {
    if (m_Slots.empty()) return nullptr;
    const size_t mask = m_Slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_Slots[i];
        if (slot.tao == nullptr) return nullptr;
        if (HasKey(slot, hash, key, keyTuple)) return &slot;
    }
}

void SimilarTupleFinder::Grow() {
    std::vector<Slot> slots(m_Slots.empty() ? kFirstCapacity : 2 * m_Slots.size(), Slot{0, nullptr});
    const size_t mask = slots.size() - 1;
    for (const Slot& slot : m_Slots) {
        if (slot.tao == nullptr) continue;
        size_t i = slot.hash & mask;
        while (slots[i].tao != nullptr)
            i = (i + 1) & mask;
        slots[i] = slot;
    }
    m_Slots.swap(slots);
}

void SimilarTupleFinder::EraseSlot(size_t index) {
    // Backward shift: later slots of the run move up, so that no search stops early at the gap.
    const size_t mask = m_Slots.size() - 1;
    size_t gap = index;
    for (size_t i = (index + 1) & mask; m_Slots[i].tao != nullptr; i = (i + 1) & mask) {
        const size_t home = m_Slots[i].hash & mask;
        // The slot may fill the gap when its home does not lie after the gap on the way to it.
        if (((i - home) & mask) >= ((i - gap) & mask)) {
            m_Slots[gap] = m_Slots[i];
            gap = i;
        }
    }
    m_Slots[gap] = Slot{0, nullptr};
    --m_Used;
}

void SimilarTupleFinder::Hold(HostAddress* host) {
    if (host == nullptr || (m_Reference != nullptr && m_Reference->Contains(*host))) return;
    int& uses = m_StrayUses[host];
    if (uses++ == 0) {
        try {
            m_Strays.Insert(*host, 0);
        } catch (...) {
            m_StrayUses.erase(host);
            throw;
        }
    }
}

void SimilarTupleFinder::Drop(HostAddress* host) {
    if (host == nullptr) return;
    auto it = m_StrayUses.find(host);
    if (it == m_StrayUses.end() || --it->second > 0) return;
    m_Strays.Remove(*host);
    m_StrayUses.erase(it);
}

void SimilarTupleFinder::Add(TAO& tao) {
    const Tuple* tuple = tao.GetTuple();
    if (tuple == nullptr) return;
    ++m_Adds;
    // At most three quarters full, so that a search that finds nothing stops soon.
    if (4 * (m_Used + 1) > 3 * m_Slots.size()) Grow();
    // The hosts first and undone on failure, so that running out of memory leaves nothing behind.
    Hold(tuple->GetSource());
    try {
        Hold(tuple->GetDestination());
    } catch (...) {
        Drop(tuple->GetSource());
        throw;
    }
    const Key key = KeyOf(*tuple);
    const uint64_t hash = HashOf(key);
    if (FindSlot(key, hash) != nullptr) {
        // Orders grow as TAOs are added, so the TAO in the slot keeps the lowest.
        try {
            m_Shadowed.emplace(hash, &tao);
        } catch (...) {
            Drop(tuple->GetDestination());
            Drop(tuple->GetSource());
            throw;
        }
    } else {
        const size_t mask = m_Slots.size() - 1;
        size_t i = hash & mask;
        while (m_Slots[i].tao != nullptr)
            i = (i + 1) & mask;
        m_Slots[i] = Slot{hash, &tao};
        ++m_Used;
    }
    if (tuple->GetSource() == nullptr) ++m_NullSources;
    if (tuple->GetDestination() == nullptr) ++m_NullDestinations;
}

void SimilarTupleFinder::Remove(TAO& tao) {
    const Tuple* tuple = tao.GetTuple();
    if (tuple == nullptr) return;
    const Key key = KeyOf(*tuple);
    const uint64_t hash = HashOf(key);
    const Slot* holder = FindSlot(key, hash);
    if (holder == nullptr) return;
    ++m_Removes;
    const size_t index = size_t(holder - m_Slots.data());
    auto [first, last] = m_Shadowed.equal_range(hash);
    if (holder->tao == &tao) {
        // The earliest other TAO of the same key, if any, takes the slot over.
        auto next = last;
        for (auto it = first; it != last; ++it)
            if (KeyOf(*it->second->GetTuple()) == key &&
                (next == last || OrderOf(*it->second) < OrderOf(*next->second)))
                next = it;
        if (next == last) {
            EraseSlot(index);
        } else {
            m_Slots[index].tao = next->second;
            m_Shadowed.erase(next);
        }
    } else {
        auto it = std::find_if(first, last, [&](const auto& entry) { return entry.second == &tao; });
        if (it == last) return;
        m_Shadowed.erase(it);
    }
    Drop(tuple->GetSource());
    Drop(tuple->GetDestination());
    if (tuple->GetSource() == nullptr) --m_NullSources;
    if (tuple->GetDestination() == nullptr) --m_NullDestinations;
}

void SimilarTupleFinder::Clear() {
    ++m_Removes;
    std::fill(m_Slots.begin(), m_Slots.end(), Slot{0, nullptr});
    m_Used = 0;
    m_Shadowed.clear();
    m_Strays.Clear();
    m_StrayUses.clear();
    m_NullSources = m_NullDestinations = 0;
}

void SimilarTupleFinder::CollectEqual(const HostAddress* host, bool nullSide,
                                      std::vector<const HostAddress*>& out) const {
    const HostAddress& probe = HostOrInvalid(host);
    auto collect = [&](HostAddress& equal, uint64_t) { out.push_back(&equal); };
    if (m_Reference != nullptr) m_Reference->ForEachEqual(probe, collect);
    if (!m_StrayUses.empty()) m_Strays.ForEachEqual(probe, collect);
    // A missing host counts as the host with no address.
    if (nullSide && probe.GetValidVector() == 0) out.push_back(nullptr);
}

TAO* SimilarTupleFinder::Find(const HostAddress* source, const HostAddress* destination,
                              const Tuple::Fields& fields, Rule rule, const Tuple* keyTuple) const {
    if (m_Used == 0) return nullptr;
    m_Sources.clear();
    m_Destinations.clear();
    if (rule == Rule::Similar) {
        CollectEqual(source, m_NullSources > 0, m_Sources);
        // A source nobody here equals (a host new to this model) ends the search at once.
        if (m_Sources.empty()) return nullptr;
        CollectEqual(destination, m_NullDestinations > 0, m_Destinations);
    } else {
        if (destination == nullptr) return nullptr;
        m_Sources.push_back(source);
        CollectEqual(destination, false, m_Destinations);
        if (std::find(m_Destinations.begin(), m_Destinations.end(), destination) == m_Destinations.end())
            m_Destinations.push_back(destination);
        if (m_NullDestinations > 0) m_Destinations.push_back(nullptr);
    }
    const Slot* best = nullptr;
    for (const HostAddress* s : m_Sources) {
        for (const HostAddress* d : m_Destinations) {
            const Key key{s, d, fields};
            const bool own =
                keyTuple != nullptr && s == keyTuple->GetSource() && d == keyTuple->GetDestination();
            const Slot* slot = FindSlot(key, HashOf(key), own ? keyTuple : nullptr);
            if (slot != nullptr && (best == nullptr || OrderOf(*slot->tao) < OrderOf(*best->tao)))
                best = slot;
        }
    }
    return best != nullptr ? best->tao : nullptr;
}

} // namespace vq
