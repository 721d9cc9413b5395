#pragma once

#include "netmodel/FlatMap.h"
#include "netmodel/HostAddress.h"
#include "netmodel/NameKey.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vq {

// Finds the stored hosts equal to a given one (HostAddress::Compare gives 0) without scanning.
// Equality only looks at the families both hosts hold, so a host is filed under every non-empty
// subset of its families, tagged with the full set; a query probes, for each subset C of its own
// families and each set X of families it lacks, the key (C, its values on C, C + X). Each equal
// host is hit by exactly one probe. Hosts whose addresses act as wildcards (an IP network address,
// an IPX node of zero) and hosts with no address sit in short lists checked beside the hash.
// Each stored host also keeps the list of the other stored hosts equal to it, made when it is
// filed, so that asking for the equals of a stored host (what every frame does) is one look-up.
// Hosts are watched, so a host that gains an address is filed again.
class HostEqualityIndex : private HostObserver {
public:
    HostEqualityIndex() = default;
    ~HostEqualityIndex();
    HostEqualityIndex(const HostEqualityIndex&) = delete;
    HostEqualityIndex& operator=(const HostEqualityIndex&) = delete;

    // `order` ranks hosts for FindFirstEqual: the smaller, the earlier. Inserting a stored host again
    // only changes nothing.
    void Insert(HostAddress& host, uint64_t order);
    void Remove(HostAddress& host);
    void Clear();
    bool Contains(const HostAddress& host) const { return handles_.Find(&host) != nullptr; }
    size_t Size() const { return handles_.Size(); }
    // Moves on whenever a held host changes or goes, so that answers about who equals whom can be
    // kept until then. A host coming in leaves the answers about the hosts held before it as they
    // were, so it moves nothing.
    uint64_t GetGeneration() const { return generation_; }

    // Calls `visit(host, order)` for every stored host equal to `host` (itself included when stored).
    template <typename Visit> void ForEachEqual(const HostAddress& host, Visit&& visit) const;
    // The equal host of the smallest order, or null.
    HostAddress* FindFirstEqual(const HostAddress& host) const;

private:
    enum class Shape : uint8_t { Keyed, Wild, Empty };
    // Every host is filed under up to seven keys: the two family sets share a word with the IP
    // address, so that a key takes 32 bytes.
    struct Key {
        uint8_t common = 0;   // the families whose values the key holds
        uint8_t families = 0; // all the families of the filed host
        uint32_t ip = 0;
        uint64_t mac = 0;
        NameKey ipx;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        size_t operator()(const Key& key) const noexcept;
    };
    // Most keys hold one host; the rest spill into `more`, made for the few keys that need it.
    struct Bucket {
        HostAddress* first = nullptr;
        std::unique_ptr<std::vector<HostAddress*>> more;
    };
    // One half of the tie between two equal hosts: the other host's entry, and where the other half
    // sits in that entry's list, so that either half goes without a search.
    struct Link {
        uint32_t other;
        uint32_t back;
    };
    // What a frame's look-up needs, in one place: a host tied to nobody is answered from here.
    struct Handle {
        uint64_t order = 0;
        uint32_t entry = 0;
        uint32_t ties = 0;
        // False while the host waits among the checked hosts, out of memory, its ties unknown.
        bool settled = false;
    };
    struct Entry {
        HostAddress* host = nullptr; // null while the entry is free
        uint64_t order = 0;
        Key values; // the host's values when it was filed, with `common` = its families
        std::vector<Link> equals;
        Shape shape = Shape::Empty;
    };

    void OnHostChanged(HostAddress& host) override;
    static Shape ShapeOf(const HostAddress& host);
    static Key ValuesOf(const HostAddress& host);
    static Key Project(const Key& values, uint8_t common, uint8_t families);
    uint64_t OrderOf(const HostAddress* host) const { return handles_.Find(host)->order; }
    void File(uint32_t entry);
    void Unfile(uint32_t entry);
    void Tie(uint32_t entry);
    void Untie(uint32_t entry);
    void Wait(uint32_t entry);
    void Release(uint32_t entry);
    // The search that does not rely on ties: probes, then the checked lists.
    template <typename Visit> void SearchEqual(const HostAddress& host, Visit& visit) const;
    template <typename Visit> void VisitBucket(const Key& key, Visit& visit) const;

    FlatMap<const HostAddress*, Handle, PointerHash> handles_;
    // Entries stay where they are, so that ties name them by number; freed ones are reused.
    std::vector<Entry> entries_;
    std::vector<uint32_t> free_;
    // Probed by every host filed and every look-up of a host not held here (a checkpoint's hosts):
    // one array, no node per key.
    FlatMap<Key, Bucket, KeyHash> keyed_;
    // Keys filed per (common, families): a probe of a shape nobody has is skipped, so a model
    // whose hosts all hold the same families costs one probe per query.
    int shapes_[8][8]{};
    std::vector<HostAddress*> wild_;
    std::vector<HostAddress*> empty_;
    // Hosts that changed while memory ran out: in `wild_`, tied to nobody, checked by every query.
    std::vector<HostAddress*> waiting_;
    uint64_t generation_ = 0;
};

template <typename Visit> void HostEqualityIndex::VisitBucket(const Key& key, Visit& visit) const {
    const Bucket* bucket = keyed_.Find(key);
    if (bucket == nullptr) return;
    visit(*bucket->first, OrderOf(bucket->first));
    if (bucket->more)
        for (HostAddress* host : *bucket->more)
            visit(*host, OrderOf(host));
}

template <typename Visit> void HostEqualityIndex::SearchEqual(const HostAddress& host, Visit& visit) const {
    const uint8_t own = host.GetValidVector();
    auto verified = [&](HostAddress& candidate, uint64_t order) {
        if (candidate.Compare(host) == 0) visit(candidate, order);
    };
    switch (ShapeOf(host)) {
    case Shape::Empty:
        for (HostAddress* candidate : empty_)
            visit(*candidate, OrderOf(candidate));
        // A host that lost its addresses while memory ran out waits among the wildcards.
        for (HostAddress* candidate : wild_)
            verified(*candidate, OrderOf(candidate));
        return;
    case Shape::Wild:
        for (const Entry& entry : entries_)
            if (entry.host != nullptr) verified(*entry.host, entry.order);
        return;
    case Shape::Keyed:
        break;
    }
    const Key values = ValuesOf(host);
    const uint8_t lacking = uint8_t(~own & 7);
    for (uint8_t common = 1; common < 8; ++common) {
        if ((common & ~own) != 0) continue;
        for (uint8_t extra = 0; extra < 8; ++extra) {
            if ((extra & ~lacking) != 0 || shapes_[common][common | extra] == 0) continue;
            VisitBucket(Project(values, common, uint8_t(common | extra)), verified);
        }
    }
    for (HostAddress* candidate : wild_)
        verified(*candidate, OrderOf(candidate));
}

template <typename Visit> void HostEqualityIndex::ForEachEqual(const HostAddress& host, Visit&& visit) const {
    const Handle* handle = handles_.Find(&host);
    if (handle == nullptr || !handle->settled) {
        SearchEqual(host, visit);
        return;
    }
    visit(const_cast<HostAddress&>(host), handle->order);
    if (handle->ties != 0)
        for (const Link& tie : entries_[handle->entry].equals)
            visit(*entries_[tie.other].host, entries_[tie.other].order);
    for (HostAddress* candidate : waiting_)
        if (candidate->Compare(host) == 0) visit(*candidate, OrderOf(candidate));
}

} // namespace vq
