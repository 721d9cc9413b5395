#pragma once

#include "toolkit/lists/TkTreeNode.h"

namespace vq {

// A node that can show its tree with one level left out: with a hidden level H set in the root,
// the nodes at raw depth H vanish from the view and their children take their place, so the
// grandchildren of a node at depth H - 1 appear as its children. Hidden-level nodes without
// children are stepped over, so a childless one never cuts the chain short.
class TkTreeNodeX : public TkTreeNode {
public:
    TkTreeNodeX() = default;
    ~TkTreeNodeX() override;

    TkTreeNode* GetParent() const override;
    TkTreeNode* GetNextSibling() const override;
    TkTreeNode* GetPrevSibling() const override;
    TkTreeNode* GetFirstChild() const override;

    // Stored in the root; only the root's value counts.
    BOOL SetHiddenLevel(std::uint16_t level);
    std::uint16_t GetHiddenLevel() const;

private:
    std::uint16_t hiddenLevel_ = 0;
};

} // namespace vq
