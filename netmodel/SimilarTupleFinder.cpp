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

// Open addressing with linear probing, kept at most three quarters full so that a search that finds
// nothing stops soon.
template <typename Entry> void GrowTable(std::vector<Entry>& table, size_t used) {
    if (4 * (used + 1) <= 3 * table.size()) return;
    std::vector<Entry> grown(table.empty() ? kFirstCapacity : 2 * table.size(), Entry{});
    const size_t mask = grown.size() - 1;
    for (const Entry& entry : table) {
        if (entry.IsFree()) continue;
        size_t i = entry.hash & mask;
        while (!grown[i].IsFree())
            i = (i + 1) & mask;
        grown[i] = entry;
    }
    table.swap(grown);
}

template <typename Entry> size_t FreeSlotFor(const std::vector<Entry>& table, uint64_t hash) {
    const size_t mask = table.size() - 1;
    size_t i = hash & mask;
    while (!table[i].IsFree())
        i = (i + 1) & mask;
    return i;
}

// Backward shift: later entries of the run move up, so that no search stops early at the gap.
template <typename Entry> void EraseEntry(std::vector<Entry>& table, size_t index) {
    const size_t mask = table.size() - 1;
    size_t gap = index;
    for (size_t i = (index + 1) & mask; !table[i].IsFree(); i = (i + 1) & mask) {
        const size_t home = table[i].hash & mask;
        // The entry may fill the gap when its home does not lie after the gap on the way to it.
        if (((i - home) & mask) >= ((i - gap) & mask)) {
            table[gap] = table[i];
            gap = i;
        }
    }
    table[gap] = Entry{};
}

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

void SimilarTupleFinder::PartCounts::Reserve() {
    GrowTable(m_Entries, m_Used);
}

size_t SimilarTupleFinder::PartCounts::Position(uint32_t hash) const {
    if (m_Entries.empty()) return 0;
    const size_t mask = m_Entries.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        if (m_Entries[i].IsFree()) return m_Entries.size();
        if (m_Entries[i].hash == hash) return i;
    }
}

void SimilarTupleFinder::PartCounts::Add(uint64_t hash) {
    const uint32_t part = Short(hash);
    const size_t found = Position(part);
    if (found != m_Entries.size()) {
        ++m_Entries[found].count;
        return;
    }
    m_Entries[FreeSlotFor(m_Entries, part)] = Entry{part, 1};
    ++m_Used;
}

void SimilarTupleFinder::PartCounts::Remove(uint64_t hash) {
    const size_t found = Position(Short(hash));
    if (found == m_Entries.size() || --m_Entries[found].count > 0) return;
    EraseEntry(m_Entries, found);
    --m_Used;
}

void SimilarTupleFinder::PartCounts::Clear() {
    std::fill(m_Entries.begin(), m_Entries.end(), Entry{});
    m_Used = 0;
}

uint64_t SimilarTupleFinder::FieldsHashOf(const Tuple::Fields& fields) {
    return HashOf(Key{nullptr, nullptr, fields});
}

void SimilarTupleFinder::AddParts(const Tuple& tuple) {
    m_Fields.Add(FieldsHashOf(tuple.GetFields()));
    m_SourceFields.Add(SourceFieldsHashOf(tuple.GetSource(), tuple.GetFields()));
}

void SimilarTupleFinder::RemoveParts(const Tuple& tuple) {
    m_Fields.Remove(FieldsHashOf(tuple.GetFields()));
    m_SourceFields.Remove(SourceFieldsHashOf(tuple.GetSource(), tuple.GetFields()));
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
    // Both tables grow first, so that filing the TAO below cannot fail half-way.
    GrowTable(m_Slots, m_Used);
    m_Fields.Reserve();
    m_SourceFields.Reserve();
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
        m_Slots[FreeSlotFor(m_Slots, hash)] = Slot{hash, &tao};
        ++m_Used;
    }
    AddParts(*tuple);
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
            EraseEntry(m_Slots, index);
            --m_Used;
        } else {
            m_Slots[index].tao = next->second;
            m_Shadowed.erase(next);
        }
    } else {
        auto it = std::find_if(first, last, [&](const auto& entry) { return entry.second == &tao; });
        if (it == last) return;
        m_Shadowed.erase(it);
    }
    RemoveParts(*tuple);
    Drop(tuple->GetSource());
    Drop(tuple->GetDestination());
    if (tuple->GetSource() == nullptr) --m_NullSources;
    if (tuple->GetDestination() == nullptr) --m_NullDestinations;
}

void SimilarTupleFinder::Clear() {
    ++m_Removes;
    std::fill(m_Slots.begin(), m_Slots.end(), Slot{0, nullptr});
    m_Used = 0;
    m_Fields.Clear();
    m_SourceFields.Clear();
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
    if (m_Used == 0 || !m_Fields.Contains(FieldsHashOf(fields))) return nullptr;
    m_Sources.clear();
    m_Destinations.clear();
    if (rule == Rule::Similar) {
        CollectEqual(source, m_NullSources > 0, m_Sources);
        // A source nobody here equals (a host new to this model) ends the search at once.
        if (m_Sources.empty()) return nullptr;
        CollectEqual(destination, m_NullDestinations > 0, m_Destinations);
    } else {
        if (destination == nullptr) return nullptr;
        if (!m_SourceFields.Contains(SourceFieldsHashOf(source, fields))) return nullptr;
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
