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
    // Room for every host in the checked lists, where a host goes that cannot be filed again.
    if (wild_.capacity() <= entries_.size()) wild_.reserve(std::max<size_t>(16, 2 * wild_.capacity()));
    if (waiting_.capacity() <= entries_.size())
        waiting_.reserve(std::max<size_t>(16, 2 * waiting_.capacity()));
    auto [it, inserted] = entries_.try_emplace(&host);
    if (!inserted) return;
    it->second.order = order;
    try {
        File(*it);
        host.AddObserver(this);
    } catch (...) {
        Unfile(*it);
        entries_.erase(it);
        throw;
    }
}

void HostEqualityIndex::Remove(HostAddress& host) {
    auto it = entries_.find(&host);
    if (it == entries_.end()) return;
    Unfile(*it);
    host.RemoveObserver(this);
    entries_.erase(it);
}

void HostEqualityIndex::Clear() {
    for (auto& [host, entry] : entries_)
        const_cast<HostAddress*>(host)->RemoveObserver(this);
    entries_.clear();
    keyed_.clear();
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
    auto it = entries_.find(&host);
    if (it == entries_.end()) return;
    Unfile(*it);
    try {
        File(*it);
    } catch (const std::bad_alloc&) {
        // A host that changed is never lost: out of memory, it waits in the checked lists (room kept
        // by Insert) until it changes again.
        Unfile(*it);
        Wait(*it);
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

void HostEqualityIndex::File(Node& node) {
    HostAddress& host = *const_cast<HostAddress*>(node.first);
    Entry& entry = node.second;
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
            Bucket& bucket = keyed_[Project(entry.values, common, families)];
            if (bucket.first == nullptr)
                bucket.first = &host;
            else
                bucket.more.push_back(&host);
            ++shapes_[common][families];
        }
        break;
    }
    }
    Tie(node);
}

void HostEqualityIndex::Tie(Node& node) {
    const HostAddress* host = node.first;
    std::vector<Node*> partners;
    auto collect = [&](HostAddress& candidate, uint64_t) {
        if (&candidate == host) return;
        auto it = entries_.find(&candidate);
        if (it->second.settled) partners.push_back(&*it);
    };
    SearchEqual(*host, collect);
    // Room on both sides first, so that tying cannot fail halfway.
    node.second.equals.reserve(partners.size());
    for (Node* partner : partners)
        partner->second.equals.reserve(partner->second.equals.size() + 1);
    for (Node* partner : partners) {
        auto& mine = node.second.equals;
        auto& theirs = partner->second.equals;
        mine.push_back({partner, uint32_t(theirs.size())});
        theirs.push_back({&node, uint32_t(mine.size() - 1)});
    }
    node.second.settled = true;
}

void HostEqualityIndex::Untie(Node& node) {
    for (const Link& tie : node.second.equals) {
        auto& theirs = tie.other->second.equals;
        const Link last = theirs.back();
        theirs[tie.back] = last;
        theirs.pop_back();
        // The tie that moved into the gap tells its other half where it now is.
        if (tie.back < theirs.size()) last.other->second.equals[last.back].back = tie.back;
    }
    node.second.equals.clear();
    node.second.settled = false;
}

void HostEqualityIndex::Wait(Node& node) {
    HostAddress* host = const_cast<HostAddress*>(node.first);
    node.second.shape = Shape::Wild;
    wild_.push_back(host);
    waiting_.push_back(host);
}

void HostEqualityIndex::Unfile(Node& node) {
    HostAddress* host = const_cast<HostAddress*>(node.first);
    Entry& entry = node.second;
    Untie(node);
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
        auto it = keyed_.find(Project(entry.values, common, families));
        if (it == keyed_.end()) continue;
        Bucket& bucket = it->second;
        if (bucket.first == host) {
            if (bucket.more.empty()) {
                keyed_.erase(it);
            } else {
                bucket.first = bucket.more.front();
                bucket.more.erase(bucket.more.begin());
            }
        } else {
            auto found = std::find(bucket.more.begin(), bucket.more.end(), host);
            if (found == bucket.more.end()) continue;
            bucket.more.erase(found);
        }
        --shapes_[common][families];
    }
}

} // namespace vq
