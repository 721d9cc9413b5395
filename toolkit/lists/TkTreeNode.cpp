#include "toolkit/lists/TkTreeNode.h"

namespace vq {

TkTreeNode::~TkTreeNode() {
    DeleteDescendants();
}

std::uint16_t TkTreeNode::GetDepth() const {
    std::uint16_t depth = 0;
    for (const TkTreeNode* n = GetParent(); n; n = n->GetParent())
        ++depth;
    return depth;
}

std::int32_t TkTreeNode::GetRawDepth() const {
    std::int32_t depth = 0;
    for (const TkTreeNode* n = parent_; n; n = n->parent_)
        ++depth;
    return depth;
}

TkTreeNode* TkTreeNode::GetRoot() {
    TkTreeNode* n = this;
    while (n->parent_)
        n = n->parent_;
    return n;
}

const TkTreeNode* TkTreeNode::GetRoot() const {
    return const_cast<TkTreeNode*>(this)->GetRoot();
}

TkTreeNode* TkTreeNode::GetFirstSibling() {
    TkTreeNode* n = this;
    while (TkTreeNode* prev = n->GetPrevSibling())
        n = prev;
    return n;
}

TkTreeNode* TkTreeNode::GetLastSibling() {
    TkTreeNode* n = this;
    while (TkTreeNode* next = n->GetNextSibling())
        n = next;
    return n;
}

TkTreeNode* TkTreeNode::GetLastChild() const {
    TkTreeNode* first = GetFirstChild();
    return first ? first->GetLastSibling() : nullptr;
}

TkTreeNode* TkTreeNode::GetLeftmostLeaf() const {
    TkTreeNode* n = firstChild_;
    if (!n) return nullptr;
    while (TkTreeNode* child = n->GetFirstChild())
        n = child;
    return n;
}

TkTreeNode* TkTreeNode::GetDeepestLastDescendant() {
    TkTreeNode* n = this;
    while (TkTreeNode* last = n->GetLastChild())
        n = last;
    return n;
}

void TkTreeNode::Unlink() {
    if (next_) next_->prev_ = prev_;
    if (prev_) prev_->next_ = next_;
    if (parent_) {
        if (parent_->firstChild_ == this) parent_->firstChild_ = next_;
        if (parent_->lastChild_ == this) parent_->lastChild_ = prev_;
    }
    parent_ = nullptr;
}

// Walks the raw links: a view of the tree could leave nodes out.
void TkTreeNode::DeleteDescendants() {
    while (firstChild_) {
        TkTreeNode* leaf = firstChild_;
        while (leaf->firstChild_)
            leaf = leaf->firstChild_;
        leaf->Unlink();
        delete leaf;
    }
}

void TkTreeNode::DeleteChildren() {
    while (TkTreeNode* child = firstChild_) {
        child->Unlink();
        delete child;
    }
}

BOOL TkTreeNode::AddChild(std::unique_ptr<TkTreeNode>& node, TkTreeNode* where) {
    if (!node) return FALSE;
    TkTreeNode* added = node.get();
    added->parent_ = this;
    if (!firstChild_) {
        added->next_ = added->prev_ = nullptr;
        firstChild_ = lastChild_ = node.release();
        return TRUE;
    }
    if (where == AddLast || where == AddAppend) where = lastChild_;
    if (where == AddFirst) {
        added->prev_ = nullptr;
        added->next_ = firstChild_;
        firstChild_->prev_ = added;
        firstChild_ = node.release();
        return TRUE;
    }
    if (where->parent_ != this) return FALSE;
    added->prev_ = where;
    added->next_ = where->next_;
    if (where->next_) where->next_->prev_ = added;
    where->next_ = added;
    if (lastChild_ == where) lastChild_ = added;
    node.release();
    return TRUE;
}

TkTreeNode* TkTreeNode::GetSiblingAt(std::int32_t index) {
    TkTreeNode* n = GetFirstSibling();
    for (std::int32_t i = 0; i < index && n; ++i)
        n = n->GetNextSibling();
    return n;
}

void TkTreeNode::MoveBeforePrevious() {
    TkTreeNode* previous = prev_;
    if (!previous) return;
    TkTreeNode* before = previous->prev_;
    TkTreeNode* after = next_;
    if (before) before->next_ = this;
    prev_ = before;
    next_ = previous;
    previous->prev_ = this;
    previous->next_ = after;
    if (after) after->prev_ = previous;
    if (parent_) {
        if (parent_->firstChild_ == previous) parent_->firstChild_ = this;
        if (parent_->lastChild_ == this) parent_->lastChild_ = previous;
    }
}

TkTreeNode* TkTreeNode::FindNode(LPARAM key) const {
    for (TkTreeNode* n = GetFirstChild(); n;) {
        if (n->Match(key, n)) return n;
        if (TkTreeNode* child = n->GetFirstChild()) {
            n = child;
            continue;
        }
        // Climb, but never out of this node's subtree.
        while (n && n != this && !n->GetNextSibling())
            n = n->GetParent();
        if (!n || n == this) return nullptr;
        n = n->GetNextSibling();
    }
    return nullptr;
}

TkTreeNode* TkTreeNode::GetNextInOrder() const {
    if (TkTreeNode* child = GetFirstChild()) return child;
    for (const TkTreeNode* n = this; n; n = n->GetParent())
        if (TkTreeNode* next = n->GetNextSibling()) return next;
    return nullptr;
}

TkTreeNode* TkTreeNode::GetPrevInOrder() const {
    TkTreeNode* previous = GetPrevSibling();
    return previous ? previous->GetDeepestLastDescendant() : GetParent();
}

// Climbs the links only: a handle that is no longer a node must be rejected before it comes here.
BOOL TkTreeNode::IsAncestorOf(const TkTreeNode* node) const {
    if (!node) return FALSE;
    for (const TkTreeNode* n = node->GetParent(); n; n = n->GetParent())
        if (n == this) return TRUE;
    return FALSE;
}

BOOL TkTreeNode::HasAncestor(const TkTreeNode* node) const {
    return node && node->IsAncestorOf(this);
}

BOOL TkTreeNode::IsSibling(const TkTreeNode* node) const {
    for (const TkTreeNode* n = const_cast<TkTreeNode*>(this)->GetFirstSibling(); n; n = n->GetNextSibling())
        if (n == node) return TRUE;
    return FALSE;
}

std::int32_t TkTreeNode::GetChildCount() const {
    std::int32_t count = 0;
    for (const TkTreeNode* n = GetFirstChild(); n; n = n->GetNextSibling())
        ++count;
    return count;
}

std::int32_t TkTreeNode::CountFollowing() const {
    std::int32_t count = 0;
    for (const TkTreeNode* n = GetFirstChild(); n; n = n->GetNextInOrder())
        ++count;
    return count;
}

} // namespace vq
