#include "netmodel/NameTable.h"

#include "netmodel/NameRequestTable.h"
#include "platform/core/Format.h"

#include <new>

namespace vq {

NameTable::NameTable(bool lookup, std::unique_ptr<NameRequestTable> requests)
    : lookup_(lookup), requests_(std::move(requests)) {}

NameTable::~NameTable() {
    Clear(false);
}

void NameTable::SetRequestTable(std::unique_ptr<NameRequestTable> requests) {
    requests_ = std::move(requests);
}

void NameTable::Attach(ReplyTarget target) {
    target_ = target;
    if (lookup_ && requests_) requests_->SetWindow(target);
}

void NameTable::Tick(const Timestamp& now) {
    if (lookup_ && requests_) requests_->Tick(now);
}

void NameTable::Clear(bool) {
    // The request table goes first: its look-ups refer to the entries.
    requests_.reset();
    ++changes_;
    map_.ForEach([this](const NameKey&, Filed& filed) { DeleteOwned(filed.entry); });
    map_ = {};
    heads_.fill(nullptr);
    for (NameEntry* entry : displaced_)
        DeleteOwned(entry);
    displaced_ = {};
}

void NameTable::DeleteOwned(NameEntry* entry) {
    if (entry->IsOwnedBy(this)) delete entry;
}

void NameTable::Link(Node& node) {
    node.previous = nullptr;
    node.next = heads_[node.bucket];
    if (node.next != nullptr) node.next->previous = &node;
    heads_[node.bucket] = &node;
}

void NameTable::Unlink(Node& node) {
    if (node.previous != nullptr)
        node.previous->next = node.next;
    else
        heads_[node.bucket] = node.next;
    if (node.next != nullptr) node.next->previous = node.previous;
}

bool NameTable::Add(NameEntry* entry, bool request) {
    if (entry == nullptr) return false;
    entry->Adopt(this);
    const NameKey key = GetKey(*entry);
    if (Filed* filed = map_.Find(key)) {
        if (filed->entry != entry) {
            ++changes_;
            if (filed->entry->IsOwnedBy(this)) displaced_.insert(filed->entry);
            filed->entry = entry;
            filed->node->entry = entry;
        }
    } else {
        // The node first: running out of memory then leaves no slot without one.
        auto node = std::make_unique<Node>();
        node->entry = entry;
        node->bucket = NameKeyBucket(key) % BucketCount;
        Filed& slot = *map_.Emplace(key).first;
        slot.entry = entry;
        slot.node = std::move(node);
        Link(*slot.node);
    }
    displaced_.erase(entry);
    if (request && lookup_ && requests_) {
        try {
            requests_->Request(entry);
        } catch (const std::bad_alloc&) {
            // The entry stays filed without its names.
        }
    }
    return true;
}

NameEntry* NameTable::Find(const NameKey& key) const {
    const Filed* found = map_.Find(key);
    return found != nullptr ? found->entry : nullptr;
}

bool NameTable::Remove(const NameEntry* entry) {
    if (entry == nullptr) return false;
    const NameKey key = GetKey(*entry);
    Filed* found = map_.Find(key);
    if (found == nullptr) return false;
    ++changes_;
    Unlink(*found->node);
    map_.Erase(key);
    if (map_.IsEmpty()) map_ = {};
    return true;
}

bool NameTable::OnReply(uint32_t identifier, uint32_t value) {
    return requests_ && requests_->OnReply(identifier, value) != nullptr;
}

NameTable::Position NameTable::GetStartPosition() const {
    for (const Node* head : heads_)
        if (head != nullptr) return head;
    return nullptr;
}

const NameTable::Node* NameTable::Successor(const Node& node) const {
    if (node.next != nullptr) return node.next;
    for (unsigned bucket = node.bucket + 1; bucket < BucketCount; ++bucket)
        if (heads_[bucket] != nullptr) return heads_[bucket];
    return nullptr;
}

NameEntry* NameTable::GetNextEntry(Position& position) const {
    if (position == nullptr) return nullptr;
    const auto* node = static_cast<const Node*>(position);
    position = Successor(*node);
    return node->entry;
}

std::string NameTable::Dump() const {
    std::string text = Format("NameTable (size %d)\n\n", GetCount());
    text += "index\t\taddress\tname\n";
    int row = 0;
    for (Position position = GetStartPosition(); position != nullptr;) {
        const NameEntry* entry = GetNextEntry(position);
        text += Format("%d\t\t%s\t%s\n", row++, entry->GetText().c_str(), entry->GetName(0).c_str());
    }
    text += "\n";
    return text;
}

} // namespace vq
