#pragma once

#include "netmodel/FlatMap.h"
#include "netmodel/NameEntry.h"
#include "netmodel/NameKey.h"
#include "netmodel/WinSockIf.h"

#include <array>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace vq {

class NameRequestTable;
class Timestamp;

// Files the one shared address object of each distinct address under its key, and can drive
// background name look-ups for what it files. Iteration and the dump visit the entries by dump
// bucket (NameKeyBucket), ascending, and within a bucket the most recently filed entry first.
class NameTable {
public:
    // An iteration position; null once the last entry was taken.
    using Position = const void*;

    NameTable(bool lookup, std::unique_ptr<NameRequestTable> requests);
    virtual ~NameTable();
    NameTable(const NameTable&) = delete;
    NameTable& operator=(const NameTable&) = delete;

    // Points the look-ups of this table at the thread that handles their replies.
    virtual void Attach(ReplyTarget target);
    virtual void Tick(const Timestamp& now);
    // Abandons every look-up in flight, then deletes the entries the table owns.
    virtual void Clear(bool recreate);
    virtual std::string Dump() const;
    virtual NameKey GetKey(const NameEntry& entry) const { return entry.GetTableKey(); }

    // Files the entry under its key (the table adopts it when nobody owns it) and, when asked and
    // look-ups are on, requests its names. An entry it displaces stays owned by the table, since
    // hosts and look-ups may still point at it, and is deleted with the others.
    bool Add(NameEntry* entry, bool request);
    NameEntry* Find(const NameKey& key) const;
    // Unfiles the entry filed under the given entry's key, without deleting it.
    bool Remove(const NameEntry* entry);
    // A reply to one of this table's look-ups; true when it belonged to a request.
    bool OnReply(uint32_t identifier, uint32_t value);

    int GetCount() const { return static_cast<int>(map_.Size()); }
    // Moves on whenever a key stops finding the entry it found: a removal, a displacement, a clear.
    // New keys leave it: what was found before is found still.
    uint64_t GetChanges() const { return changes_; }
    bool GetLookup() const { return lookup_; }
    void SetLookup(bool lookup) { lookup_ = lookup; }
    NameRequestTable* GetRequestTable() const { return requests_.get(); }
    bool CheckIntegrity(bool) const { return true; }

    Position GetStartPosition() const;
    NameEntry* GetNextEntry(Position& position) const;

protected:
    void SetRequestTable(std::unique_ptr<NameRequestTable> requests);
    const ReplyTarget& GetReplyTarget() const { return target_; }

private:
    struct Node {
        NameEntry* entry = nullptr;
        Node* previous = nullptr;
        Node* next = nullptr;
        unsigned bucket = 0;
    };
    static constexpr unsigned BucketCount = 256;

    void Link(Node& node);
    void Unlink(Node& node);
    const Node* Successor(const Node& node) const;
    void DeleteOwned(NameEntry* entry);

    // The entry sits beside its key, so that a frame's look-up reads one slot; the node, which the
    // iteration order links, keeps its place while the map moves slots around.
    struct Filed {
        NameEntry* entry = nullptr;
        std::unique_ptr<Node> node;
    };
    FlatMap<NameKey, Filed, NameKeyHash> map_;
    std::array<Node*, BucketCount> heads_{};
    std::unordered_set<NameEntry*> displaced_;
    bool lookup_ = false;
    uint64_t changes_ = 0;
    std::unique_ptr<NameRequestTable> requests_;
    ReplyTarget target_;
};

// A table of one address family: the typed finds and the shared FindOrAdd.
template <typename Address> class AddressTable : public NameTable {
public:
    using NameTable::Find;

    Address* Find(const Address& address) const { return static_cast<Address*>(Find(address.GetTableKey())); }
    Address* Find(const uint8_t* bytes) const {
        return static_cast<Address*>(Find(Address::KeyFromBytes(bytes)));
    }
    // The entry filed under the bytes, or a new classified address filed (and its names requested
    // when asked); none for no bytes.
    Address* FindOrAdd(const uint8_t* bytes, bool request) {
        if (bytes == nullptr) return nullptr;
        if (Address* found = Find(bytes)) return found;
        auto address = std::make_unique<Address>(bytes, true);
        Add(address.get(), request);
        return address.release();
    }
    Address* GetNextEntry(Position& position) const {
        return static_cast<Address*>(NameTable::GetNextEntry(position));
    }

protected:
    AddressTable(bool lookup, std::unique_ptr<NameRequestTable> requests)
        : NameTable(lookup, std::move(requests)) {}
};

} // namespace vq
