// The tree's expansion, visibility and selection, and the list steps it answers for its nodes.
#include "platform/gui/Messages.h"
#include "platform/gui/RegisteredMessage.h"
#include "toolkit/lists/TkTreeBaseC.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace vq {

namespace {

constexpr std::uintptr_t HoverTimer = 4;
constexpr UINT NotifiedFields = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;

} // namespace

UINT TkTreeEndLabelEditMessage() {
    static const UINT id = RegisterWindowMessage("TkTreeCtrlNotifyEndLabelEditRegMsg");
    return id;
}

// ---- notifications

LRESULT TkTreeBaseC::NotifyItemExpanding(TreeItemNode* node, UINT action) {
    NMTREEVIEW record;
    record.hdr.code = TVN_ITEMEXPANDINGA;
    record.action = action;
    record.itemNew = ItemRecord(node, NotifiedFields);
    return SendTreeNotify(&record.hdr);
}

void TkTreeBaseC::NotifyItemExpanded(TreeItemNode* node, UINT action) {
    NMTREEVIEW record;
    record.hdr.code = TVN_ITEMEXPANDEDA;
    record.action = action;
    record.itemNew = ItemRecord(node, NotifiedFields);
    record.itemNew.state = node->IsExpanded() ? TVIS_EXPANDED : 0;
    SendTreeNotify(&record.hdr);
}

LRESULT TkTreeBaseC::NotifySelection(UINT code, UINT action, std::int32_t oldRow, std::int32_t newRow) {
    NMTREEVIEW record;
    record.hdr.code = code;
    record.action = action;
    if (const TreeItemNode* old = NodeOfRow(oldRow)) record.itemOld = ItemRecord(old, NotifiedFields);
    if (const TreeItemNode* now = NodeOfRow(newRow)) record.itemNew = ItemRecord(now, NotifiedFields);
    return SendTreeNotify(&record.hdr);
}

BOOL TkTreeBaseC::OnSelectionChanging(std::int32_t item, std::int32_t previousFocus, BOOL byMouse) {
    return NotifySelection(TVN_SELCHANGINGA, byMouse ? TVC_BYMOUSE : TVC_BYKEYBOARD, previousFocus, item) !=
           0;
}

void TkTreeBaseC::OnSelectionChanged(std::int32_t item, std::int32_t previousFocus, BOOL byMouse) {
    NotifySelection(TVN_SELCHANGEDA, byMouse ? TVC_BYMOUSE : TVC_BYKEYBOARD, previousFocus, item);
}

void TkTreeBaseC::NotifyBeginDrag(std::int32_t item, std::int32_t x, std::int32_t y) {
    if (treeStyle_ & TVS_DISABLEDRAGDROP) {
        itemDragStarted_ = false;
        return;
    }
    const TreeItemNode* node = NodeOfRow(item);
    if (!node) return;
    NMTREEVIEW record;
    record.hdr.code = TVN_BEGINDRAGA;
    record.itemNew = ItemRecord(node, NotifiedFields);
    record.ptDrag = POINT{x, y};
    SendTreeNotify(&record.hdr);
}

void TkTreeBaseC::NotifyBeginRightDrag(std::int32_t item, std::int32_t x, std::int32_t y) {
    if (treeStyle_ & TVS_DISABLEDRAGDROP) {
        itemDragStarted_ = false;
        return;
    }
    const TreeItemNode* node = NodeOfRow(item);
    if (!node) return;
    NMTREEVIEW record;
    record.hdr.code = TVN_BEGINRDRAGA;
    record.itemNew = ItemRecord(node, NotifiedFields);
    record.ptDrag = POINT{x, y};
    SendTreeNotify(&record.hdr);
}

void TkTreeBaseC::NotifyKeyDown(UINT key) {
    TV_KEYDOWN record;
    record.hdr.code = TVN_KEYDOWN;
    record.wVKey = std::uint16_t(key);
    SendTreeNotify(&record.hdr);
}

BOOL TkTreeBaseC::NotifyBeginLabelEdit(std::int32_t item, std::int32_t subItem) {
    if (subItem != 0) return TkListCtrl::NotifyBeginLabelEdit(item, subItem);
    const TreeItemNode* node = NodeOfRow(item);
    if (!node) return TRUE;
    TV_DISPINFO info;
    info.hdr.code = TVN_BEGINLABELEDITA;
    info.item = ItemRecord(node, NotifiedFields | TVIF_TEXT);
    return SendTreeNotify(&info.hdr) == 1;
}

BOOL TkTreeBaseC::NotifyEndLabelEdit(std::int32_t item, std::int32_t subItem, char* text, BOOL commit) {
    if (subItem != 0) return TkListCtrl::NotifyEndLabelEdit(item, subItem, text, commit);
    const TreeItemNode* node = NodeOfRow(item);
    if (!node) return FALSE;
    auto buffer = std::make_unique<char[]>(std::size_t(TextBufferSize));
    if (commit && text) std::strncpy(buffer.get(), text, std::size_t(TextBufferSize - 1));
    TV_DISPINFO info;
    info.hdr.code = TVN_ENDLABELEDITA;
    info.item = ItemRecord(node, NotifiedFields | TVIF_TEXT);
    info.item.pszText = commit ? buffer.get() : nullptr;
    info.item.cchTextMax = TextBufferSize;
    const LRESULT answer = SendTreeNotify(&info.hdr);
    if (!answer || !commit || !text) return FALSE;
    // The owner may have written its own text into the buffer.
    buffer[std::size_t(TextBufferSize - 1)] = '\0';
    std::strncpy(text, buffer.get(), std::size_t(TextBufferSize - 1));
    text[TextBufferSize - 1] = '\0';
    return TRUE;
}

void TkTreeBaseC::OnLabelEdited(std::int32_t item, std::int32_t subItem) {
    if (subItem != 0) return;
    TreeItemNode* node = NodeOfRow(item);
    CWnd* target = GetNotifyTarget();
    if (!node || !target || !target->m_hWnd) return;
    target->SendMessage(TkTreeEndLabelEditMessage(), WPARAM(GetDlgCtrlID()), reinterpret_cast<LPARAM>(node));
}

void TkTreeBaseC::NotifyGetDispInfo(LV_ITEM* record) {
    if (!storage_ || record->iSubItem <= 0 || !(record->mask & LVIF_TEXT))
        return TkListCtrl::NotifyGetDispInfo(record);
    const TreeItemNode* node = NodeOfRow(record->iItem);
    if (node && record->pszText && record->cchTextMax > 0)
        storage_->GetSubItemText(const_cast<TreeItemNode*>(node), record->iSubItem, record->pszText,
                                 record->cchTextMax);
    if (record->mask & ~LVIF_TEXT) {
        LV_ITEM rest = *record;
        rest.mask &= ~LVIF_TEXT;
        TkListCtrl::NotifyGetDispInfo(&rest);
        rest.mask = record->mask;
        rest.pszText = record->pszText;
        *record = rest;
    }
}

void TkTreeBaseC::NotifySetDispInfo(const LV_ITEM& parts) {
    if (!storage_ || parts.iSubItem <= 0 || !(parts.mask & LVIF_TEXT))
        return TkListCtrl::NotifySetDispInfo(parts);
    if (TreeItemNode* node = NodeOfRow(parts.iItem))
        storage_->SetSubItemText(node, parts.iSubItem, parts.pszText);
}

// Every item that has texts follows the column, shown or not.
void TkTreeBaseC::OnColumnMoved(std::int32_t from, std::int32_t to) {
    if (!storage_) return;
    std::vector<HTREEITEM> items;
    storage_->ForEachItem([&](HTREEITEM item) { items.push_back(item); });
    for (HTREEITEM item : items)
        storage_->MoveSubItemText(item, from, to);
}

// ---- the list-item bridge

LPARAM TkTreeBaseC::GetRecordData(const TkListItem* record) const {
    const auto* node = reinterpret_cast<const TreeItemNode*>(record->data);
    return node ? node->item.lParam : 0;
}

// With the storage on, a sub-item text the list sets (an edit of the cell, say) goes to the
// storage, where the tree reads it.
BOOL TkTreeBaseC::SetSubItemThroughStorage(LV_ITEM* record, BOOL redraw) {
    TreeItemNode* node = NodeOfRow(record->iItem);
    if (!node || !storage_->SetSubItemText(node, record->iSubItem, record->pszText)) return FALSE;
    GetItemRecord(record->iItem)->measureNeeded = true;
    if (redraw && record->iItem != editItem_) InvalidateItem(record->iItem, FALSE, FALSE, FALSE, FALSE);
    LV_ITEM rest = *record;
    rest.mask &= ~LVIF_TEXT;
    return rest.mask ? TkListCtrl::SetItem(&rest, redraw) : TRUE;
}

BOOL TkTreeBaseC::SetItem(LV_ITEM* record, BOOL redraw) {
    if (record && storage_ && record->iSubItem > 0 && (record->mask & LVIF_TEXT) &&
        record->pszText != LPSTR_TEXTCALLBACKA)
        return SetSubItemThroughStorage(record, redraw);
    TreeItemNode* node = record && record->iSubItem == 0 ? NodeOfRow(record->iItem) : nullptr;
    if (!node) return TkListCtrl::SetItem(record, redraw);
    const std::int32_t row = record->iItem;
    LV_ITEM rest = *record;
    if (record->mask & LVIF_TEXT) {
        node->SetText(record->pszText);
        rest.mask &= ~LVIF_TEXT;
        GetItemRecord(row)->measureNeeded = true;
        if (redraw && row != editItem_) InvalidateItem(row, TRUE, FALSE, FALSE, FALSE);
    }
    if (record->mask & LVIF_IMAGE) node->item.iImage = record->iImage;
    if (record->mask & LVIF_STATE) {
        const UINT bits = record->stateMask & (LVIS_SELECTED | LVIS_CUT | LVIS_DROPHILITED);
        node->item.state = (node->item.state & ~bits) | (record->state & bits);
    }
    return rest.mask ? TkListCtrl::SetItem(&rest, redraw) : TRUE;
}

BOOL TkTreeBaseC::GetItem(LV_ITEM* record, BOOL copyText, BOOL notify) {
    TreeItemNode* node = record && record->iSubItem == 0 ? NodeOfRow(record->iItem) : nullptr;
    if (!node) return TkListCtrl::GetItem(record, copyText, notify);
    const UINT mask = record->mask;
    LV_ITEM rest = *record;
    rest.mask &= ~(LVIF_TEXT | LVIF_IMAGE);
    if (rest.mask && !TkListCtrl::GetItem(&rest, copyText, FALSE)) return FALSE;
    if (mask & LVIF_STATE)
        record->state = (rest.state & ~LVIS_CUT) | (node->item.state & LVIS_CUT & record->stateMask);
    if (mask & LVIF_PARAM) record->lParam = rest.lParam;
    if (mask & (LVIF_TEXT | LVIF_IMAGE)) {
        TVITEM item;
        item.mask =
            TVIF_HANDLE | ((mask & LVIF_TEXT) ? TVIF_TEXT : 0) | ((mask & LVIF_IMAGE) ? TVIF_IMAGE : 0);
        item.hItem = node;
        item.pszText = record->pszText;
        item.cchTextMax = record->cchTextMax;
        if (!GetItem(&item, copyText, notify)) return FALSE;
        if (mask & LVIF_TEXT) record->pszText = item.pszText;
        if (mask & LVIF_IMAGE) record->iImage = item.iImage;
    }
    record->mask = mask;
    return TRUE;
}

BOOL TkTreeBaseC::SetItemExtraState(const LV_ITEM& item, const TkListExtraState& extra) {
    TreeItemNode* node = item.iSubItem == 0 ? NodeOfRow(item.iItem) : nullptr;
    if (!node || !(extra.mask & TkListExtraStateValid)) return TkListCtrl::SetItemExtraState(item, extra);
    const DWORD bits = extra.stateMask & (TreeItemNode::Marked | TreeItemNode::Hidden);
    node->exState = (node->exState & ~bits) | (extra.state & bits);
    TkListExtraState rest = extra;
    rest.stateMask &= ~bits;
    return TkListCtrl::SetItemExtraState(item, rest);
}

BOOL TkTreeBaseC::GetItemExtraState(const LV_ITEM& item, TkListExtraState* extra, BOOL notify) {
    const TreeItemNode* node = item.iSubItem == 0 ? NodeOfRow(item.iItem) : nullptr;
    if (!node || !extra || !(extra->mask & TkListExtraStateValid))
        return TkListCtrl::GetItemExtraState(item, extra, notify);
    const DWORD bits = extra->stateMask & (TreeItemNode::Marked | TreeItemNode::Hidden);
    if (!TkListCtrl::GetItemExtraState(item, extra, notify)) return FALSE;
    extra->state = (extra->state & ~bits) | (node->exState & bits);
    return TRUE;
}

BOOL TkTreeBaseC::IsCallbackItem(std::int32_t item) const {
    const TreeItemNode* node = NodeOfRow(item);
    if (!node) return TkListCtrl::IsCallbackItem(item);
    const TVITEM& record = node->item;
    return node->HasCallbackText() || record.cChildren == I_CHILDRENCALLBACK ||
           record.iImage == I_IMAGECALLBACK || record.iSelectedImage == I_IMAGECALLBACK;
}

UINT TkTreeBaseC::GetTipItemState(std::int32_t item, UINT mask) const {
    const TreeItemNode* node = NodeOfRow(item);
    return node ? node->item.state & mask : 0;
}

// ---- expansion

BOOL TkTreeBaseC::ReportsChildren(TreeItemNode* node) {
    if (node->item.cChildren > 0) return TRUE;
    if (node->item.cChildren != I_CHILDRENCALLBACK) return FALSE;
    TVITEM record;
    record.mask = TVIF_CHILDREN | TVIF_HANDLE;
    record.hItem = node;
    return GetItem(&record, FALSE, TRUE) && record.cChildren > 0;
}

void TkTreeBaseC::FocusRow(std::int32_t row) {
    if (row < 0) return;
    DeselectAllExcept(row);
    SelectFocusItem(row, TRUE);
}

void TkTreeBaseC::RedrawAfter(const RECT& clientBefore, std::int32_t row) {
    if (!m_hWnd) return;
    UpdateLayout();
    RECT after;
    GetWindowClientRect(&after);
    if (std::memcmp(&after, &clientBefore, sizeof after) == 0 && row >= 0)
        InvalidateItem(row, FALSE, TRUE, TRUE, FALSE);
    else
        InvalidateRect(m_hWnd, nullptr, TRUE);
}

BOOL TkTreeBaseC::Expand(HTREEITEM item, UINT code, BOOL redraw, BOOL force) {
    TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get()) return FALSE;
    if (!force && !node->FirstChild() && !ReportsChildren(node)) return TRUE;
    if (!IsValidItem(node)) return FALSE;
    RECT before;
    GetWindowClientRect(&before);
    if (code == TVE_TOGGLE) code = node->IsExpanded() ? TVE_COLLAPSE : TVE_EXPAND;
    const bool collapse = (code & TVE_COLLAPSERESET) || code == TVE_COLLAPSE;
    if (!collapse && code != TVE_EXPAND) return FALSE;
    if (code == TVE_EXPAND && node->IsExpanded()) return TRUE;
    if (NotifyItemExpanding(node, code) == 1) return FALSE;
    // The owner may have deleted the item while it heard of the expansion.
    if (!IsValidItem(node)) return FALSE;
    if (collapse) {
        if (node->IsExpanded()) {
            const TreeItemNode* focus = GetCaretItem();
            if (focus && node->IsAncestorOf(focus)) {
                const std::int32_t old = GetFocusItem(), row = RowOfNode(node);
                NotifySelection(TVN_SELCHANGINGA, TVC_BYMOUSE, old, row);
                FocusRow(RowOfNode(node));
                NotifySelection(TVN_SELCHANGEDA, TVC_BYMOUSE, old, RowOfNode(node));
            }
            node->SetExpanded(FALSE);
            RemoveDescendantRows(node);
        }
        if (code & TVE_COLLAPSERESET) {
            while (TkTreeNode* child = node->GetRawFirstChild())
                if (!DeleteItemInternal(static_cast<TreeItemNode*>(child))) break;
        }
    } else {
        if (!node->FirstChild()) return FALSE;
        node->SetExpanded(TRUE);
        if (treeExStyle_ & TreeExAnimate) animationCounter_ = 0;
        if (IsShown(node)) InsertDescendantRows(node, RowOfNode(node));
    }
    NotifyItemExpanded(node, code);
    if (!redraw || !IsValidItem(node)) return TRUE;
    if (code == TVE_EXPAND && scrollOnExpand_) {
        if (auto* last = static_cast<TreeItemNode*>(node->GetLastChild())) EnsureShown(last, TRUE);
    }
    const std::int32_t row = RowOfNode(node);
    if (row >= 0 && row < GetTopIndex()) EnsureVisible(node);
    RedrawAfter(before, RowOfNode(node));
    return TRUE;
}

BOOL TkTreeBaseC::ExpandAll(HTREEITEM item, BOOL redraw) {
    TreeItemNode* node = Resolve(item);
    if (!node) return FALSE;
    if (node != root_.get()) Expand(node, TVE_EXPAND, FALSE, FALSE);
    for (TreeItemNode* child = node->FirstChild(); child; child = child->NextSibling())
        if (child->FirstChild() || child->item.cChildren) ExpandAll(child, FALSE);
    if (redraw) Relayout();
    return TRUE;
}

HTREEITEM TkTreeBaseC::ExpandCaretItem(UINT code) {
    TreeItemNode* node = GetCaretItem();
    return node && Expand(node, code, TRUE, FALSE) ? node : nullptr;
}

// The children collapse without redrawing; the one redraw comes at the end.
BOOL TkTreeBaseC::CollapseAll(HTREEITEM item, BOOL redraw) {
    TreeItemNode* node = Resolve(item);
    if (!node || !node->FirstChild() || !node->IsExpanded()) return FALSE;
    RECT before;
    GetWindowClientRect(&before);
    for (TreeItemNode* child = node->FirstChild(); child; child = child->NextSibling())
        CollapseAll(child, FALSE);
    const BOOL done = node == root_.get() || Expand(node, TVE_COLLAPSE, FALSE, FALSE);
    if (redraw) RedrawAfter(before, RowOfNode(node));
    return done;
}

BOOL TkTreeBaseC::EnsureShown(HTREEITEM item, BOOL keepParent) {
    TreeItemNode* node = Resolve(item);
    if (!item || !node || node == root_.get()) return FALSE;
    if (RowOfNode(node) < 0) {
        for (TreeItemNode* a = node->Parent(); a && a != root_.get(); a = a->Parent())
            if (!a->IsExpanded() && !Expand(a, TVE_EXPAND, FALSE, FALSE)) return FALSE;
        if (!IsValidItem(node)) return FALSE;
        RebuildRows();
        Relayout();
    }
    const std::int32_t row = RowOfNode(node);
    if (row < 0) return FALSE;
    if (!keepParent) return TkListBaseC::EnsureVisible(row);
    const std::int32_t parentRow = RowOfNode(node->Parent());
    return parentRow >= 0 ? EnsureRangeVisible(parentRow, row) : FALSE;
}

BOOL TkTreeBaseC::EnsureVisible(HTREEITEM item) {
    if (!EnsureShown(item, FALSE) && RowOfNode(Resolve(item)) < 0) return FALSE;
    const std::int32_t row = RowOfNode(Resolve(item));
    SetTopIndex(row);
    FocusRow(row);
    return TRUE;
}

BOOL TkTreeBaseC::SelectSetFirstVisible(HTREEITEM item) {
    EnsureShown(item, FALSE);
    const std::int32_t row = RowOfNode(Resolve(item));
    return row >= 0 && SetTopIndex(row);
}

// ---- selection

BOOL TkTreeBaseC::Select(HTREEITEM item, UINT code) {
    EnsureShown(item, FALSE);
    const std::int32_t row = RowOfNode(Resolve(item));
    if (row < 0) return FALSE;
    switch (code) {
    case TVGN_FIRSTVISIBLE:
        return SetTopIndex(row);
    case TVGN_DROPHILITE:
        return SelectDropTarget(item, TRUE);
    case TVGN_CARET: {
        const std::int32_t old = GetFocusItem();
        if (NotifySelection(TVN_SELCHANGINGA, TVC_UNKNOWN, old, row) == 1) return FALSE;
        const std::int32_t now = RowOfNode(Resolve(item));
        if (now < 0) return FALSE;
        FocusRow(now);
        NotifySelection(TVN_SELCHANGEDA, TVC_UNKNOWN, old, now);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL TkTreeBaseC::SelectItem(HTREEITEM item) {
    return Select(item, TVGN_CARET);
}

BOOL TkTreeBaseC::SelectItemAdd(HTREEITEM item) {
    EnsureShown(item, FALSE);
    const std::int32_t row = RowOfNode(Resolve(item));
    if (row < 0) return FALSE;
    const std::int32_t old = GetFocusItem();
    if (NotifySelection(TVN_SELCHANGINGA, TVC_UNKNOWN, old, row) == 1) return FALSE;
    if (TkListBaseC::SelectItem(row, TRUE)) NotifySelection(TVN_SELCHANGEDA, TVC_UNKNOWN, old, row);
    if (!(treeExStyle_ & TreeExMultiSelect)) return Select(item, TVGN_CARET);
    return TRUE;
}

BOOL TkTreeBaseC::SelectDropTarget(HTREEITEM item, BOOL ensureShown) {
    if (!item) {
        SetDropHighlight(-1);
        if (hoverTimer_ && m_hWnd) KillTimer(m_hWnd, HoverTimer);
        hoverTimer_ = 0;
        return TRUE;
    }
    if (ensureShown) EnsureShown(item, FALSE);
    const std::int32_t row = RowOfNode(Resolve(item));
    if (row < 0) return FALSE;
    const bool changed = row != GetDropHighlight();
    SetDropHighlight(row);
    if ((treeExStyle_ & TreeExHoverExpand) && changed && m_hWnd) {
        if (hoverTimer_) KillTimer(m_hWnd, HoverTimer);
        hoverTimer_ = SetTimer(m_hWnd, HoverTimer, hoverDelay_, nullptr);
    }
    return TRUE;
}

BOOL TkTreeBaseC::SelectRange(HTREEITEM first, HTREEITEM last, BOOL select) {
    const std::int32_t a = RowOfNode(Resolve(first)), b = RowOfNode(Resolve(last));
    if (a < 0 || b < 0) return FALSE;
    TkListBaseC::SelectRange(a, b, select);
    return TRUE;
}

BOOL TkTreeBaseC::SelectChildren(HTREEITEM item) {
    TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get() || !node->FirstChild()) return FALSE;
    const std::int32_t row = RowOfNode(node);
    if (row < 0) return FALSE;
    std::int32_t last = row;
    while (NodeOfRow(last + 1) && node->IsAncestorOf(NodeOfRow(last + 1)))
        ++last;
    return SelectRange(node, NodeOfRow(last), TRUE);
}

} // namespace vq
