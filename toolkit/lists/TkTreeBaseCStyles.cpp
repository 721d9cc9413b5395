// The tree's styles, sorting of children, moving of subtrees, marked and hidden items and the
// hidden level.
#include "toolkit/lists/TkTreeBaseC.h"

#include <QString>
#include <algorithm>
#include <vector>

namespace vq {

namespace {

constexpr DWORD HeaderStyleBit = 0x10;

QString Label(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

std::int32_t TkTreeBaseC::CompareItems(HTREEITEM first, HTREEITEM second) {
    const std::string a = GetItemText(first, 0);
    const std::string b = GetItemText(second, 0);
    return QString::compare(Label(a), Label(b), Qt::CaseInsensitive);
}

// ---- styles

DWORD TkTreeBaseC::GetTreeStyle() const {
    DWORD style = treeStyle_;
    if (HasListStyle(LVS_EDITLABELS)) style |= TVS_EDITLABELS;
    if (HasListStyle(LVS_SHOWSELALWAYS)) style |= TVS_SHOWSELALWAYS;
    return style;
}

void TkTreeBaseC::SetTreeStyle(DWORD style, BOOL redraw) {
    treeStyle_ = style & StoredTreeStyles;
    DWORD add = 0, remove = 0;
    ((style & TVS_EDITLABELS) ? add : remove) |= LVS_EDITLABELS;
    ((style & TVS_SHOWSELALWAYS) ? add : remove) |= LVS_SHOWSELALWAYS;
    // Lines at the root move every label, so every row is measured again.
    for (std::int32_t row = 0; row < GetItemCount(); ++row)
        GetItemRecord(row)->measureNeeded = true;
    ModifyListStyle(remove, add, redraw);
}

void TkTreeBaseC::SetTreeExStyle(DWORD exStyle, BOOL redraw) {
    treeExStyle_ = exStyle;
    DWORD add = 0, remove = 0, exAdd = 0, exRemove = 0;
    ((exStyle & TreeExMultiSelect) ? remove : add) |= LVS_SINGLESEL;
    ((exStyle & TreeExLabelWrap) ? remove : add) |= LVS_NOLABELWRAP;
    ((exStyle & TreeExColumnHeader) ? remove : add) |= LVS_NOCOLUMNHEADER;
    const bool buttons = (exStyle & TreeExColumnHeader) && (exStyle & TreeExHeaderButtons);
    (buttons ? remove : add) |= LVS_NOSORTHEADER;
    (((exStyle & TreeExHeaderButtons) && (exStyle & TreeExHeaderStyle)) ? exAdd : exRemove) |= HeaderStyleBit;
    ((exStyle & TreeExTips) ? exAdd : exRemove) |= LVXS_LABELTIPS;
    ModifyListStyles(remove, add, exRemove, exAdd, redraw);
}

void TkTreeBaseC::ModifyTreeStyle(DWORD remove, DWORD add, BOOL redraw) {
    SetTreeStyle(add | (GetTreeStyle() & ~remove), redraw);
}

void TkTreeBaseC::ModifyTreeExStyle(DWORD remove, DWORD add, BOOL redraw) {
    SetTreeExStyle(add | (treeExStyle_ & ~remove), redraw);
}

void TkTreeBaseC::ModifyStyles(DWORD removeStyle, DWORD addStyle, DWORD removeEx, DWORD addEx, BOOL redraw) {
    ModifyTreeStyle(removeStyle, addStyle, FALSE);
    ModifyTreeExStyle(removeEx, addEx, redraw);
}

void TkTreeBaseC::SetStyles(DWORD style, DWORD exStyle, BOOL redraw) {
    SetTreeStyle(style, redraw);
    SetTreeExStyle(exStyle, redraw);
}

void TkTreeBaseC::GetStyles(DWORD* style, DWORD* exStyle) const {
    if (style) *style = GetTreeStyle();
    if (exStyle) *exStyle = treeExStyle_;
}

void TkTreeBaseC::SetWrapLabels(BOOL wrap) {
    treeExStyle_ = wrap ? treeExStyle_ | TreeExLabelWrap : treeExStyle_ & ~TreeExLabelWrap;
    TkListCtrl::SetWrapLabels(wrap);
}

void TkTreeBaseC::SetLabelTips(BOOL on) {
    treeExStyle_ = on ? treeExStyle_ | TreeExTips : treeExStyle_ & ~TreeExTips;
    TkListCtrl::SetLabelTips(on);
}

void TkTreeBaseC::SetMultiSelect(BOOL on) {
    treeExStyle_ = on ? treeExStyle_ | TreeExMultiSelect : treeExStyle_ & ~TreeExMultiSelect;
    TkListCtrl::SetMultiSelect(on);
}

void TkTreeBaseC::SetIndent(std::int32_t pixels) {
    indent_ = std::max(pixels, 0);
    indent_ += indent_ & 1;
    for (std::int32_t row = 0; row < GetItemCount(); ++row)
        GetItemRecord(row)->measureNeeded = true;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
}

CImageList* TkTreeBaseC::GetImageList(std::int32_t type) const {
    return TkListCtrl::GetImageList(type);
}

CImageList* TkTreeBaseC::SetImageList(CImageList* list, std::int32_t type) {
    CImageList* previous = TkListCtrl::SetImageList(list, type);
    if (type == TVSIL_NORMAL && list) {
        int width = 0, height = 0;
        if (list->GetImageCount() > 0 && ImageList_GetIconSize(list->GetSafeHandle(), &width, &height) &&
            width > indent_)
            SetIndent(width);
    }
    return previous;
}

TkSubItemTextStorage* TkTreeBaseC::EnableSubItemStorage(BOOL enable) {
    if (!enable)
        storage_.reset();
    else if (!storage_)
        storage_ = std::make_unique<TkSubItemTextStorage>();
    return storage_.get();
}

// ---- sorting

// A stable sort gives the order the neighbour-swapping sort gives for the same comparisons.
BOOL TkTreeBaseC::SortNode(TreeItemNode* node, BOOL recursive, BOOL ascending, const TVSORTCB* sort) {
    std::vector<TreeItemNode*> children;
    for (TkTreeNode* child = node->GetRawFirstChild(); child; child = child->GetRawNextSibling())
        children.push_back(static_cast<TreeItemNode*>(child));
    const auto before = [&](TreeItemNode* a, TreeItemNode* b) {
        if (sort) {
            const int order = sort->lpfnCompare(b->item.lParam, a->item.lParam, sort->lParam);
            return ascending ? order > 0 : order < 0;
        }
        const std::int32_t order = CompareItems(a, b);
        return ascending ? order < 0 : order > 0;
    };
    std::stable_sort(children.begin(), children.end(), before);
    for (TreeItemNode* child : children)
        child->Unlink();
    for (TreeItemNode* child : children) {
        std::unique_ptr<TkTreeNode> held(child);
        node->AddChild(held, TkTreeNode::AddLast);
    }
    if (recursive)
        for (TreeItemNode* child : children)
            if (child->GetRawFirstChild()) SortNode(child, TRUE, ascending, sort);
    return TRUE;
}

void TkTreeBaseC::RewriteRows(TreeItemNode* node) {
    if (!node->IsExpanded() || !IsShown(node)) return;
    RemoveDescendantRows(node);
    InsertDescendantRows(node, RowOfNode(node));
    UpdateLayout();
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
}

BOOL TkTreeBaseC::SortChildren(HTREEITEM item, BOOL recursive, BOOL ascending) {
    TreeItemNode* node = Resolve(item);
    if (!node) return FALSE;
    TreeItemNode* focus = GetCaretItem();
    SortNode(node, recursive, ascending, nullptr);
    RewriteRows(node);
    if (focus && RowOfNode(focus) >= 0) Select(focus, TVGN_CARET);
    return TRUE;
}

BOOL TkTreeBaseC::SortChildrenCB(const TVSORTCB* sort, BOOL recursive, BOOL ascending) {
    if (!sort || !sort->lpfnCompare) return FALSE;
    TreeItemNode* node = Resolve(sort->hParent);
    if (!node) return FALSE;
    TreeItemNode* focus = GetCaretItem();
    SortNode(node, recursive, ascending, sort);
    RewriteRows(node);
    if (focus && RowOfNode(focus) >= 0) Select(focus, TVGN_CARET);
    return TRUE;
}

// ---- moving

BOOL TkTreeBaseC::MoveItem(HTREEITEM item, HTREEITEM newParent, BOOL redraw, HTREEITEM insertAfter) {
    TreeItemNode* node = Resolve(item);
    TreeItemNode* parent = Resolve(newParent);
    if (!node || node == root_.get() || !parent) return FALSE;
    if (node == parent || node->IsAncestorOf(parent)) return FALSE;
    // A place that names no child of the new parent is refused before anything moves, so a failed
    // move never leaves the subtree outside the tree.
    const bool named = insertAfter && insertAfter != TVI_ROOT && insertAfter != TVI_LAST &&
                       insertAfter != TVI_FIRST && insertAfter != TVI_SORT &&
                       insertAfter != TreeInsertSortDescending;
    if (named && parent->GetRawFirstChild() &&
        (!IsValidItem(insertAfter) || insertAfter->GetRawParent() != parent || insertAfter == node))
        return FALSE;
    TreeItemNode* focus = GetCaretItem();
    const bool wasExpanded = node->IsExpanded();
    DeselectAllExcept(-1);
    node->item.state &= ~TVIS_SELECTED;
    if (RowOfNode(node) >= 0) {
        if (wasExpanded) Expand(node, TVE_COLLAPSE, FALSE, FALSE);
        if (const std::int32_t row = RowOfNode(node); row >= 0) DeleteItems(row, 1);
    }
    TreeItemNode* oldParent = node->Parent();
    node->Unlink();
    const auto refresh = [&](TreeItemNode* p) {
        if (!p || p == root_.get() || !IsShown(p) || !p->IsExpanded()) return;
        Expand(p, TVE_COLLAPSE, FALSE, FALSE);
        Expand(p, TVE_EXPAND, FALSE, FALSE);
    };
    refresh(oldParent);
    std::unique_ptr<TreeItemNode> held(node);
    if (!LinkNode(parent, held, insertAfter)) {
        // Checked above, so only a changed tree gets here: the item goes back, not astray.
        std::unique_ptr<TkTreeNode> back(held.release());
        oldParent->AddChild(back, TkTreeNode::AddLast);
        RebuildRows();
        return FALSE;
    }
    RebuildRows();
    refresh(parent);
    if (wasExpanded && IsShown(node) && !node->IsExpanded()) Expand(node, TVE_EXPAND, FALSE, FALSE);
    RebuildRows();
    if (redraw) Relayout();
    DeselectAllExcept(-1);
    if (!focus || RowOfNode(focus) < 0) {
        focus = root_->FirstChild();
        if (focus) EnsureShown(focus, FALSE);
    }
    FocusRow(RowOfNode(focus));
    return TRUE;
}

// ---- marked and hidden items

BOOL TkTreeBaseC::IsItemMarked(HTREEITEM item) const {
    for (const TreeItemNode* n = Resolve(item); n && n != root_.get(); n = n->Parent())
        if (n->exState & TreeItemNode::Marked) return TRUE;
    return FALSE;
}

BOOL TkTreeBaseC::IsItemHidden(HTREEITEM item) const {
    for (const TreeItemNode* n = Resolve(item); n && n != root_.get(); n = n->Parent())
        if (n->exState & TreeItemNode::Hidden) return TRUE;
    return FALSE;
}

BOOL TkTreeBaseC::SetItemMarked(HTREEITEM item, BOOL marked) {
    TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get()) return FALSE;
    node->exState = marked ? node->exState | TreeItemNode::Marked : node->exState & ~TreeItemNode::Marked;
    if (hideMarked_) {
        node->exState = marked ? node->exState | TreeItemNode::Hidden : node->exState & ~TreeItemNode::Hidden;
        if (!SetItemHidden(node, (node->exState & TreeItemNode::Hidden) != 0)) return FALSE;
    }
    const std::int32_t row = RowOfNode(node);
    if (row >= 0) {
        std::int32_t last = row;
        while (NodeOfRow(last + 1) && node->IsAncestorOf(NodeOfRow(last + 1)))
            ++last;
        InvalidateItemRange(row, last);
    }
    return TRUE;
}

void TkTreeBaseC::MarkAll(BOOL marked) {
    for (TreeItemNode* n = root_->FirstChild(); n; n = n->NextInOrder()) {
        n->exState = marked ? n->exState | TreeItemNode::Marked : n->exState & ~TreeItemNode::Marked;
        if (hideMarked_)
            n->exState = marked ? n->exState | TreeItemNode::Hidden : n->exState & ~TreeItemNode::Hidden;
    }
    if (hideMarked_) RebuildRows();
    Relayout();
}

HTREEITEM TkTreeBaseC::GetFirstMarkedItem() const {
    return GetNextMarkedItem(root_.get());
}

HTREEITEM TkTreeBaseC::GetNextMarkedItem(HTREEITEM item) const {
    const TreeItemNode* node = Resolve(item);
    for (TreeItemNode* n = node ? node->NextInOrder() : nullptr; n; n = n->NextInOrder())
        if (n->exState & TreeItemNode::Marked) return n;
    return nullptr;
}

BOOL TkTreeBaseC::SetItemHidden(HTREEITEM item, BOOL hidden) {
    TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get()) return FALSE;
    node->exState = hidden ? node->exState | TreeItemNode::Hidden : node->exState & ~TreeItemNode::Hidden;
    const BOOL done = RebuildRows();
    Relayout();
    return done;
}

HTREEITEM TkTreeBaseC::GetFirstHiddenItem() const {
    return GetNextHiddenItem(root_.get());
}

HTREEITEM TkTreeBaseC::GetNextHiddenItem(HTREEITEM item) const {
    const TreeItemNode* node = Resolve(item);
    for (TreeItemNode* n = node ? node->NextInOrder() : nullptr; n; n = n->NextInOrder())
        if (IsItemHidden(n)) return n;
    return nullptr;
}

BOOL TkTreeBaseC::ShowAllHidden() {
    for (TreeItemNode* n = root_->FirstChild(); n; n = n->NextInOrder())
        if ((n->exState & TreeItemNode::Hidden) && !SetItemHidden(n, FALSE)) return FALSE;
    return TRUE;
}

void TkTreeBaseC::SetHideMarked(BOOL hide) {
    hideMarked_ = hide;
    for (TreeItemNode* n = root_->FirstChild(); n; n = n->NextInOrder())
        if (n->exState & TreeItemNode::Marked) SetItemHidden(n, hide);
}

// The rows go through the list's own deletion: the tree's delete-all would delete the items.
BOOL TkTreeBaseC::SetHiddenLevel(std::uint16_t level) {
    root_->SetHiddenLevel(level);
    TkListBaseC::DeleteAllItems();
    const BOOL done = RebuildRows();
    Relayout();
    return done;
}

} // namespace vq
