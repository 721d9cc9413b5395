#pragma once

#include "toolkit/lists/TkTreeNodeX.h"

#include <string>

namespace vq {

// The node behind every item of the toolkit's tree control: its tree item record, the two parts
// of a label split at the highlight marker, the marked and hidden bits and the extra height of
// its list row. HTREEITEM is the address of one.
struct TreeItemNode : public TkTreeNodeX {
    // No image: neither an index nor the callback value.
    static constexpr int NoImage = -12;
    static constexpr DWORD Marked = 0x100;
    static constexpr DWORD Hidden = 0x200;

    TreeItemNode();
    ~TreeItemNode() override = default;

    BOOL IsExpanded() const override { return (item.state & TVIS_EXPANDED) != 0; }
    void SetExpanded(BOOL expanded) override;

    // Null, the callback marker, or a copy of the text owned by the node.
    void SetText(const char* text);
    bool HasCallbackText() const { return item.pszText == LPSTR_TEXTCALLBACKA; }

    TreeItemNode* Parent() const { return static_cast<TreeItemNode*>(GetParent()); }
    TreeItemNode* FirstChild() const { return static_cast<TreeItemNode*>(GetFirstChild()); }
    TreeItemNode* NextSibling() const { return static_cast<TreeItemNode*>(GetNextSibling()); }
    TreeItemNode* PrevSibling() const { return static_cast<TreeItemNode*>(GetPrevSibling()); }
    TreeItemNode* NextInOrder() const { return static_cast<TreeItemNode*>(GetNextInOrder()); }

    TVITEM item;
    BOOL split = FALSE;
    std::string firstPart;
    std::string secondPart;
    std::int32_t firstPartWidth = 0;
    DWORD exState = 0;
    std::int32_t rowValue = 0;
    // Where the node's row was last seen; checked before use, so a stale value costs a search.
    std::int32_t rowHint = -1;

private:
    std::string text_;
};

} // namespace vq
