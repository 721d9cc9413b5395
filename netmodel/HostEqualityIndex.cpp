#include "netmodel/HostEqualityIndex.h"

#include <algorithm>
#include <new>

namespace vq {

namespace {

size_t Mix(size_t seed, uint64_t value) {
    uint64_t x = value + 0x9E3779B97F4A7C15ULL + (seed << 6) + (seed >> 2);
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return size_t(x ^ (x >> 31)) ^ seed;
}

void Erase(std::vector<HostAddress*>& list, HostAddress* host) {
    auto it = std::find(list.begin(), list.end(), host);
    if (it != list.end()) list.erase(it);
}

} // namespace

size_t HostEqualityIndex::KeyHash::operator()(const Key& key) const noexcept {
    const uint64_t shape = uint64_t(key.common) << 8 | key.families;
    const uint64_t folded = key.mac * 0x9E3779B97F4A7C15ULL ^ (uint64_t(key.ip) << 16 | shape) ^
                            key.ipx.value * 0xC2B2AE3D27D4EB4FULL ^ key.ipx.extension;
    return Mix(0, folded);
}

HostEqualityIndex::~HostEqualityIndex() {
    Clear();
}

void HostEqualityIndex::Insert(HostAddress& host, uint64_t order) {
    if (Contains(host)) return;
    // Room for every host in the checked lists, where a host goes that cannot be filed again, and
    // in the free list, so that undoing and releasing never allocate.
    const size_t hosts = entries_.size() + 1;
    if (wild_.capacity() < hosts) wild_.reserve(std::max<size_t>(16, 2 * hosts));
    if (waiting_.capacity() < hosts) waiting_.reserve(std::max<size_t>(16, 2 * hosts));
    if (free_.capacity() < hosts) free_.reserve(std::max<size_t>(16, 2 * hosts));
    uint32_t index;
    if (free_.empty()) {
        index = uint32_t(entries_.size());
        entries_.emplace_back();
    } else {
        index = free_.back();
        free_.pop_back();
    }
    try {
        Handle& handle = *handles_.Emplace(&host).first;
        handle.order = order;
        handle.entry = index;
    } catch (...) {
        free_.push_back(index);
        throw;
    }
    entries_[index].host = &host;
    entries_[index].order = order;
    try {
        File(index);
        host.AddObserver(this);
    } catch (...) {
        Unfile(index);
        Release(index);
        throw;
    }
}

void HostEqualityIndex::Remove(HostAddress& host) {
    const Handle* handle = handles_.Find(&host);
    if (handle == nullptr) return;
    ++generation_;
    const uint32_t index = handle->entry;
    Unfile(index);
    host.RemoveObserver(this);
    Release(index);
}

void HostEqualityIndex::Release(uint32_t index) {
    handles_.Erase(entries_[index].host);
    entries_[index] = Entry();
    free_.push_back(index);
}

void HostEqualityIndex::Clear() {
    ++generation_;
    for (Entry& entry : entries_)
        if (entry.host != nullptr) entry.host->RemoveObserver(this);
    handles_ = {};
    entries_.clear();
    free_.clear();
    keyed_ = {};
    std::fill(&shapes_[0][0], &shapes_[0][0] + 64, 0);
    wild_.clear();
    empty_.clear();
    waiting_.clear();
}

HostAddress* HostEqualityIndex::FindFirstEqual(const HostAddress& host) const {
    HostAddress* best = nullptr;
    uint64_t bestOrder = 0;
    ForEachEqual(host, [&](HostAddress& candidate, uint64_t order) {
        if (best == nullptr || order < bestOrder) {
            best = &candidate;
            bestOrder = order;
        }
    });
    return best;
}

void HostEqualityIndex::OnHostChanged(HostAddress& host) {
    const Handle* handle = handles_.Find(&host);
    if (handle == nullptr) return;
    ++generation_;
    const uint32_t index = handle->entry;
    Unfile(index);
    try {
        File(index);
    } catch (const std::bad_alloc&) {
        // A host that changed is never lost: out of memory, it waits in the checked lists (room kept
        // by Insert) until it changes again.
        Unfile(index);
        Wait(index);
    }
}

HostEqualityIndex::Shape HostEqualityIndex::ShapeOf(const HostAddress& host) {
    if (host.GetValidVector() == 0) return Shape::Empty;
    if (host.IsIpNetworkAddress()) return Shape::Wild;
    if (host.HasIpx()) {
        const uint8_t* node = host.GetIpx().GetNode();
        if (std::all_of(node, node + IpxAddress::NodeLength, [](uint8_t b) { return b == 0; }))
            return Shape::Wild;
    }
    return Shape::Keyed;
}

HostEqualityIndex::Key HostEqualityIndex::ValuesOf(const HostAddress& host) {
    Key key;
    key.families = key.common = host.GetValidVector();
    if (host.HasMac()) key.mac = host.GetMac().GetTableKey().value;
    if (host.HasIp()) key.ip = host.GetIp().GetHostLong(true);
    if (host.HasIpx()) key.ipx = host.GetIpx().GetTableKey();
    return key;
}

HostEqualityIndex::Key HostEqualityIndex::Project(const Key& values, uint8_t common, uint8_t families) {
    Key key;
    key.common = common;
    key.families = families;
    if (common & HostAddress::MacValid) key.mac = values.mac;
    if (common & HostAddress::IpValid) key.ip = values.ip;
    if (common & HostAddress::IpxValid) key.ipx = values.ipx;
    return key;
}

void HostEqualityIndex::File(uint32_t index) {
    Entry& entry = entries_[index];
    HostAddress& host = *entry.host;
    entry.shape = ShapeOf(host);
    entry.values = ValuesOf(host);
    switch (entry.shape) {
    case Shape::Empty:
        empty_.push_back(&host);
        break;
    case Shape::Wild:
        wild_.push_back(&host);
        break;
    case Shape::Keyed: {
        const uint8_t families = entry.values.families;
        for (uint8_t common = 1; common < 8; ++common) {
            if ((common & ~families) != 0) continue;
            Bucket& bucket = *keyed_.Emplace(Project(entry.values, common, families)).first;
            if (bucket.first == nullptr) {
                bucket.first = &host;
            } else {
                if (!bucket.more) bucket.more = std::make_unique<std::vector<HostAddress*>>();
                bucket.more->push_back(&host);
            }
            ++shapes_[common][families];
        }
        break;
    }
    }
    Tie(index);
}

void HostEqualityIndex::Tie(uint32_t index) {
    const HostAddress* host = entries_[index].host;
    std::vector<uint32_t> partners;
    auto collect = [&](HostAddress& candidate, uint64_t) {
        if (&candidate == host) return;
        const Handle* handle = handles_.Find(&candidate);
        if (handle->settled) partners.push_back(handle->entry);
    };
    SearchEqual(*host, collect);
    // Room on both sides first, so that tying cannot fail halfway.
    entries_[index].equals.reserve(partners.size());
    for (uint32_t partner : partners)
        entries_[partner].equals.reserve(entries_[partner].equals.size() + 1);
    auto& mine = entries_[index].equals;
    for (uint32_t partner : partners) {
        auto& theirs = entries_[partner].equals;
        mine.push_back({partner, uint32_t(theirs.size())});
        theirs.push_back({index, uint32_t(mine.size() - 1)});
        ++handles_.Find(entries_[partner].host)->ties;
    }
    Handle& handle = *handles_.Find(host);
    handle.ties = uint32_t(partners.size());
    handle.settled = true;
}

void HostEqualityIndex::Untie(uint32_t index) {
    for (const Link& tie : entries_[index].equals) {
        auto& theirs = entries_[tie.other].equals;
        const Link last = theirs.back();
        theirs[tie.back] = last;
        theirs.pop_back();
        // The tie that moved into the gap tells its other half where it now is.
        if (tie.back < theirs.size()) entries_[last.other].equals[last.back].back = tie.back;
        --handles_.Find(entries_[tie.other].host)->ties;
    }
    entries_[index].equals.clear();
    Handle& handle = *handles_.Find(entries_[index].host);
    handle.ties = 0;
    handle.settled = false;
}

void HostEqualityIndex::Wait(uint32_t index) {
    Entry& entry = entries_[index];
    entry.shape = Shape::Wild;
    wild_.push_back(entry.host);
    waiting_.push_back(entry.host);
}

void HostEqualityIndex::Unfile(uint32_t index) {
    Entry& entry = entries_[index];
    HostAddress* host = entry.host;
    Untie(index);
    Erase(waiting_, host);
    switch (entry.shape) {
    case Shape::Empty:
        Erase(empty_, host);
        return;
    case Shape::Wild:
        Erase(wild_, host);
        return;
    case Shape::Keyed:
        break;
    }
    const uint8_t families = entry.values.families;
    for (uint8_t common = 1; common < 8; ++common) {
        if ((common & ~families) != 0) continue;
        const Key key = Project(entry.values, common, families);
        Bucket* found = keyed_.Find(key);
        if (found == nullptr) continue;
        Bucket& bucket = *found;
        if (bucket.first == host) {
            if (!bucket.more || bucket.more->empty()) {
                keyed_.Erase(key);
            } else {
                bucket.first = bucket.more->front();
                bucket.more->erase(bucket.more->begin());
            }
        } else {
            if (!bucket.more) continue;
            auto it = std::find(bucket.more->begin(), bucket.more->end(), host);
            if (it == bucket.more->end()) continue;
            bucket.more->erase(it);
        }
        --shapes_[common][families];
    }
}

} // namespace vq
