#include "toolkit/lists/TkTreeNodeX.h"

namespace vq {

TkTreeNodeX::~TkTreeNodeX() {
    hiddenLevel_ = 0;
}

BOOL TkTreeNodeX::SetHiddenLevel(std::uint16_t level) {
    if (auto* root = dynamic_cast<TkTreeNodeX*>(GetRoot())) root->hiddenLevel_ = level;
    return TRUE;
}

std::uint16_t TkTreeNodeX::GetHiddenLevel() const {
    const auto* root = dynamic_cast<const TkTreeNodeX*>(GetRoot());
    return root ? root->hiddenLevel_ : 0;
}

TkTreeNode* TkTreeNodeX::GetParent() const {
    TkTreeNode* parent = GetRawParent();
    const std::int32_t level = GetHiddenLevel();
    if (level == 0 || !parent || GetRawDepth() != level + 1) return parent;
    return parent->GetRawParent();
}

TkTreeNode* TkTreeNodeX::GetFirstChild() const {
    const std::int32_t level = GetHiddenLevel();
    if (level == 0 || GetRawDepth() != level - 1) return GetRawFirstChild();
    for (TkTreeNode* hidden = GetRawFirstChild(); hidden; hidden = hidden->GetRawNextSibling())
        if (TkTreeNode* child = hidden->GetRawFirstChild()) return child;
    return nullptr;
}

TkTreeNode* TkTreeNodeX::GetNextSibling() const {
    TkTreeNode* next = GetRawNextSibling();
    const std::int32_t level = GetHiddenLevel();
    if (level == 0 || next || GetRawDepth() != level + 1) return next;
    for (TkTreeNode* hidden = GetRawParent()->GetRawNextSibling(); hidden;
         hidden = hidden->GetRawNextSibling())
        if (TkTreeNode* child = hidden->GetRawFirstChild()) return child;
    return nullptr;
}

TkTreeNode* TkTreeNodeX::GetPrevSibling() const {
    TkTreeNode* previous = GetRawPrevSibling();
    const std::int32_t level = GetHiddenLevel();
    if (level == 0 || previous || GetRawDepth() != level + 1) return previous;
    for (TkTreeNode* hidden = GetRawParent()->GetRawPrevSibling(); hidden;
         hidden = hidden->GetRawPrevSibling())
        if (TkTreeNode* child = hidden->GetRawLastChild()) return child;
    return nullptr;
}

} // namespace vq
