#include "netmodel/ReferenceSessionMap.h"

#include <algorithm>
#include <utility>

namespace vq {

std::optional<uint16_t> ReferenceSessionMap::Lookup(uint32_t address, uint16_t port) const {
    const Entry* entry = m_Entries.Find(KeyOf(address, port));
    if (entry == nullptr) return std::nullopt;
    return entry->id;
}

void ReferenceSessionMap::Set(uint32_t address, uint16_t port, uint16_t id) {
    m_Entries.Emplace(KeyOf(address, port)).first->id = id;
    ++m_Changes;
}

void ReferenceSessionMap::Store(const FrameView::Endpoint& endpoint, uint16_t id) {
    const uint64_t key = KeyOf(endpoint.address, endpoint.port);
    auto [entry, created] = m_Entries.Emplace(key);
    // Setting the id an entry already holds stores nothing: the entry stays with its tuple.
    if (!created && entry->id == id) return;
    entry->id = id;
    ++m_Changes;
    m_Pending[m_PendingCount++] = key;
}

uint16_t ReferenceSessionMap::Compute(const FrameView& frame) {
    m_PendingCount = 0;
    const uint16_t fallback = frame.GetProtocolId(FrameView::Transport);
    FrameView::Endpoint source, destination;
    if (!frame.GetTransportEndpoints(source, destination)) return fallback;
    if (source == destination) return fallback;
    if (auto id = Lookup(destination.address, destination.port)) {
        Store(source, *id);
        return *id;
    }
    if (auto id = Lookup(source.address, source.port)) {
        Store(destination, *id);
        return *id;
    }
    const bool sourceKnown = frame.IsWellKnownPort(source.port);
    const bool destinationKnown = frame.IsWellKnownPort(destination.port);
    if (sourceKnown && destinationKnown) return fallback;
    const uint16_t id = destinationKnown ? destination.port : sourceKnown ? source.port : fallback;
    Store(destination, id);
    Store(source, id);
    return id;
}

void ReferenceSessionMap::Held::Reserve(size_t extra) {
    const size_t total = count + extra;
    if (total <= 2) return;
    if (!more) more = std::make_unique<std::vector<uint64_t>>();
    const size_t needed = total - 2;
    if (more->capacity() < needed) more->reserve(std::max(needed, 2 * more->capacity()));
}

void ReferenceSessionMap::Held::Push(uint64_t key) {
    if (count < 2)
        keys[count] = key;
    else
        more->push_back(key);
    ++count;
}

void ReferenceSessionMap::Tie(Tuple* tuple) {
    size_t changing = 0;
    for (int i = 0; i < m_PendingCount; ++i) {
        const Entry* entry = m_Entries.Find(m_Pending[i]);
        if (entry != nullptr && entry->tuple != tuple) ++changing;
    }
    // Room for the keys first: running out of memory leaves every entry as it was, still pending.
    Held* keys = nullptr;
    if (tuple != nullptr && changing > 0) {
        auto [held, created] = m_ByTuple.Emplace(tuple);
        try {
            held->Reserve(changing);
        } catch (...) {
            if (created) m_ByTuple.Erase(tuple);
            throw;
        }
        keys = held;
    }
    for (int i = 0; i < m_PendingCount; ++i) {
        Entry* entry = m_Entries.Find(m_Pending[i]);
        if (entry == nullptr || entry->tuple == tuple) continue;
        entry->tuple = tuple;
        if (keys != nullptr) keys->Push(m_Pending[i]);
    }
    m_PendingCount = 0;
}

void ReferenceSessionMap::Abandon() {
    const int pending = std::exchange(m_PendingCount, 0);
    for (int i = 0; i < pending; ++i) {
        const Entry* entry = m_Entries.Find(m_Pending[i]);
        if (entry != nullptr && entry->tuple == nullptr) {
            m_Entries.Erase(m_Pending[i]);
            ++m_Changes;
        }
    }
}

void ReferenceSessionMap::Untie(const Tuple* tuple) {
    const Held* held = m_ByTuple.Find(tuple);
    if (held == nullptr) return;
    held->ForEach([&](uint64_t key) {
        const Entry* entry = m_Entries.Find(key);
        if (entry != nullptr && entry->tuple == tuple) {
            m_Entries.Erase(key);
            ++m_Changes;
        }
    });
    m_ByTuple.Erase(tuple);
}

void ReferenceSessionMap::Clear() {
    m_Entries = {};
    m_ByTuple = {};
    m_PendingCount = 0;
    ++m_Changes;
}

} // namespace vq
