#pragma once

#include "platform/gui/ListViewTypes.h"

#include <cstdint>
#include <memory>

namespace vq {

// A node of an n-ary tree: parent, sibling and first-child links. A node owns its descendants:
// destroying it destroys its subtree, but it does not unlink itself, so whoever deletes a node
// unlinks it first. Every walk goes through the four virtual accessors, which a derived node may
// answer with a view of the tree rather than its raw links.
class TkTreeNode {
public:
    // Where AddChild links a node when it is not after one of the children.
    static inline TkTreeNode* const AddFirst = nullptr;
    static inline TkTreeNode* const AddLast = reinterpret_cast<TkTreeNode*>(std::uintptr_t(1));
    static inline TkTreeNode* const AddAppend = reinterpret_cast<TkTreeNode*>(std::uintptr_t(2));

    TkTreeNode() = default;
    virtual ~TkTreeNode();
    TkTreeNode(const TkTreeNode&) = delete;
    TkTreeNode& operator=(const TkTreeNode&) = delete;

    virtual TkTreeNode* GetParent() const { return parent_; }
    virtual TkTreeNode* GetNextSibling() const { return next_; }
    virtual TkTreeNode* GetPrevSibling() const { return prev_; }
    virtual TkTreeNode* GetFirstChild() const { return firstChild_; }
    virtual BOOL Match(LPARAM /*key*/, const TkTreeNode* /*node*/) const { return FALSE; }
    virtual BOOL IsExpanded() const { return FALSE; }
    virtual void SetExpanded(BOOL /*expanded*/) {}

    TkTreeNode* GetRawParent() const { return parent_; }
    TkTreeNode* GetRawNextSibling() const { return next_; }
    TkTreeNode* GetRawPrevSibling() const { return prev_; }
    TkTreeNode* GetRawFirstChild() const { return firstChild_; }
    TkTreeNode* GetRawLastChild() const { return lastChild_; }

    // Ancestors through GetParent: 0 for a root.
    std::uint16_t GetDepth() const;
    std::int32_t GetRawDepth() const;
    TkTreeNode* GetRoot();
    const TkTreeNode* GetRoot() const;
    TkTreeNode* GetFirstSibling();
    TkTreeNode* GetLastSibling();
    TkTreeNode* GetLastChild() const;
    TkTreeNode* GetLeftmostLeaf() const;
    TkTreeNode* GetDeepestLastDescendant();
    // Takes the node out of its parent's child chain; its own sibling links stay as they were.
    void Unlink();
    // Leaves first, so no node is destroyed while it still has children.
    void DeleteDescendants();
    void DeleteChildren();
    // Takes the node over and answers TRUE; FALSE, leaving the node with the caller, when `where`
    // is not a child. The node's parent link is set even then.
    BOOL AddChild(std::unique_ptr<TkTreeNode>& node, TkTreeNode* where);
    TkTreeNode* GetSiblingAt(std::int32_t index);
    // The node must have a previous sibling.
    void MoveBeforePrevious();
    // The first descendant in pre-order that matches; the node itself is not tested.
    TkTreeNode* FindNode(LPARAM key) const;
    TkTreeNode* GetNextInOrder() const;
    TkTreeNode* GetPrevInOrder() const;
    BOOL IsAncestorOf(const TkTreeNode* node) const;
    BOOL HasAncestor(const TkTreeNode* node) const;
    BOOL IsSibling(const TkTreeNode* node) const;
    std::int32_t GetChildCount() const;
    // The nodes from the first child to the end of the whole tree in pre-order.
    std::int32_t CountFollowing() const;

private:
    TkTreeNode* parent_ = nullptr;
    TkTreeNode* next_ = nullptr;
    TkTreeNode* prev_ = nullptr;
    TkTreeNode* firstChild_ = nullptr;
    // Kept so that appending does not walk the children.
    TkTreeNode* lastChild_ = nullptr;
};

} // namespace vq
