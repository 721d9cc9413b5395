// The tree's model: nodes, their rows in the list, insertion, deletion, expansion and selection.
#include "toolkit/lists/TkTreeBaseC.h"

#include "platform/gui/Messages.h"

#include <algorithm>
#include <cstring>

namespace vq {

namespace {

constexpr UINT RowStateBits = LVIS_SELECTED | LVIS_CUT | LVIS_DROPHILITED;
constexpr UINT TreeColumnFormat = 2;

bool IsSpecial(HTREEITEM item) {
    const auto value = reinterpret_cast<std::uintptr_t>(item);
    return value >= 0xFFFF0000u && value <= 0xFFFF00FFu;
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkTreeBaseC, TkListCtrl)

TkTreeBaseC::TkTreeBaseC() {
    ModifyListStyle(0, LVS_REPORT | LVS_SHAREIMAGELISTS, FALSE);
    root_ = CreateNode();
    live_.insert(root_.get());
    root_->SetExpanded(TRUE);
}

TkTreeBaseC::~TkTreeBaseC() {
    storage_.reset();
    live_.clear();
    root_.reset();
}

std::unique_ptr<TreeItemNode> TkTreeBaseC::CreateNode() {
    return std::make_unique<TreeItemNode>();
}

BOOL TkTreeBaseC::Create(DWORD style, DWORD exStyle, const RECT& rect, CWnd* parent, UINT id) {
    if (GetColumnCount() == 0) InsertColumn(0, "", TreeColumnFormat, 0, 0, -1, FALSE);
    return TkListCtrl::Create(style, exStyle, rect, parent, id);
}

BOOL TkTreeBaseC::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return Create(style, 0, rect, parent, id);
}

// The tree's bits come off the window's styles before the list takes its own.
void TkTreeBaseC::SplitCreateStyles(CREATESTRUCT& cs) {
    const DWORD treeBits = cs.style & 0x43F;
    cs.style &= ~DWORD(0x43F);
    ModifyTreeStyle(0, treeBits, FALSE);
    const DWORD treeExBits = cs.dwExStyle & 0x3F00000;
    cs.dwExStyle &= ~DWORD(0x3F00000);
    ModifyTreeExStyle(0, treeExBits, FALSE);
    TkListCtrl::SplitCreateStyles(cs);
}

// ---- nodes and rows

TreeItemNode* TkTreeBaseC::Resolve(HTREEITEM item) const {
    if (!item || item == TVI_ROOT) return root_.get();
    if (IsSpecial(item) || !live_.count(item)) return nullptr;
    return item;
}

TreeItemNode* TkTreeBaseC::NewNode() {
    std::unique_ptr<TreeItemNode> node = CreateNode();
    TreeItemNode* made = node.release();
    live_.insert(made);
    return made;
}

void TkTreeBaseC::DestroyNode(TreeItemNode* node) {
    live_.erase(node);
    delete node;
}

BOOL TkTreeBaseC::IsValidItem(HTREEITEM item) const {
    return item && !IsSpecial(item) && item != root_.get() && live_.count(item) ? TRUE : FALSE;
}

TreeItemNode* TkTreeBaseC::NodeOfRow(std::int32_t row) const {
    const TkListItem* record = GetItemRecord(row);
    return record ? reinterpret_cast<TreeItemNode*>(record->data) : nullptr;
}

std::int32_t TkTreeBaseC::RowOfNode(const TreeItemNode* node) const {
    if (!node || node == root_.get()) return -1;
    if (NodeOfRow(node->rowHint) == node) return node->rowHint;
    for (std::int32_t row = 0; row < GetItemCount(); ++row) {
        if (NodeOfRow(row) == node) {
            const_cast<TreeItemNode*>(node)->rowHint = row;
            return row;
        }
    }
    return -1;
}

BOOL TkTreeBaseC::IsShown(const TreeItemNode* node) const {
    if (!node) return FALSE;
    for (const TreeItemNode* n = node; n != root_.get(); n = n->Parent()) {
        if (!n || (n->exState & TreeItemNode::Hidden)) return FALSE;
        const TreeItemNode* parent = n->Parent();
        if (!parent || !parent->IsExpanded()) return FALSE;
    }
    return TRUE;
}

const TreeItemNode* TkTreeBaseC::PreviousShown(const TreeItemNode* node) const {
    const TreeItemNode* previous = node->PrevSibling();
    while (previous && (previous->exState & TreeItemNode::Hidden))
        previous = previous->PrevSibling();
    if (!previous) return node->Parent();
    for (;;) {
        if (!previous->IsExpanded()) return previous;
        const TreeItemNode* last = static_cast<TreeItemNode*>(previous->GetLastChild());
        while (last && (last->exState & TreeItemNode::Hidden))
            last = last->PrevSibling();
        if (!last) return previous;
        previous = last;
    }
}

std::unique_ptr<TkListItem> TkTreeBaseC::NewRowRecord(TreeItemNode* node) {
    auto record = NewItemRecord();
    record->data = reinterpret_cast<LPARAM>(node);
    record->image = node->item.iImage;
    record->state = node->item.state & LVIS_CUT;
    record->text.Set(nullptr);
    return record;
}

std::int32_t TkTreeBaseC::InsertRowAt(TreeItemNode* node, std::int32_t row) {
    const std::int32_t at = InsertItemRecord(row, NewRowRecord(node));
    node->rowHint = at;
    if (node->item.state & TVIS_SELECTED) TkListBaseC::SetItemState(at, LVIS_SELECTED, LVIS_SELECTED);
    return at;
}

std::int32_t TkTreeBaseC::InsertRow(TreeItemNode* node) {
    const TreeItemNode* previous = PreviousShown(node);
    const std::int32_t row = previous == root_.get() ? 0 : RowOfNode(previous) + 1;
    return InsertRowAt(node, row);
}

void TkTreeBaseC::CollectShownDescendants(TreeItemNode* node, std::vector<TreeItemNode*>& nodes) const {
    for (TreeItemNode* child = node->FirstChild(); child; child = child->NextSibling()) {
        if (child->exState & TreeItemNode::Hidden) continue;
        nodes.push_back(child);
        if (child->IsExpanded()) CollectShownDescendants(child, nodes);
    }
}

// Without animation the rows go in as one piece, so opening a large branch moves the rows below
// it once rather than once per row.
std::int32_t TkTreeBaseC::InsertDescendantRows(TreeItemNode* node, std::int32_t row) {
    if (!(treeExStyle_ & TreeExAnimate)) {
        std::vector<TreeItemNode*> nodes;
        CollectShownDescendants(node, nodes);
        std::vector<std::unique_ptr<TkListItem>> records;
        records.reserve(nodes.size());
        for (TreeItemNode* n : nodes)
            records.push_back(NewRowRecord(n));
        const std::int32_t first = InsertItemRecords(row + 1, std::move(records));
        for (std::size_t k = 0; k < nodes.size(); ++k) {
            nodes[k]->rowHint = first + std::int32_t(k);
            if (nodes[k]->item.state & TVIS_SELECTED)
                TkListBaseC::SetItemState(nodes[k]->rowHint, LVIS_SELECTED, LVIS_SELECTED);
        }
        return first + std::int32_t(nodes.size()) - 1;
    }
    for (TreeItemNode* child = node->FirstChild(); child; child = child->NextSibling()) {
        if (child->exState & TreeItemNode::Hidden) continue;
        row = InsertRowAt(child, row + 1);
        if (treeExStyle_ & TreeExAnimate) {
            ++animationCounter_;
            if (m_hWnd && animationCounter_ <= animationDivisor_) {
                InvalidateItem(row, FALSE, TRUE, FALSE, TRUE);
            }
        }
        if (child->IsExpanded()) row = InsertDescendantRows(child, row);
    }
    return row;
}

void TkTreeBaseC::RemoveDescendantRows(TreeItemNode* node) {
    const std::int32_t row = RowOfNode(node);
    if (row < 0 && node != root_.get()) return;
    std::int32_t count = 0;
    while (NodeOfRow(row + 1 + count) && node->IsAncestorOf(NodeOfRow(row + 1 + count)))
        ++count;
    if (!count) return;
    for (std::int32_t r = row + 1; r < row + 1 + count; ++r)
        if (IsItemSelected(r)) TkListBaseC::SetItemState(r, 0, LVIS_SELECTED);
    if (!(treeExStyle_ & TreeExAnimate) || !m_hWnd) {
        DeleteItems(row + 1, count);
        return;
    }
    const std::int32_t every = std::max(count / std::max(animationDivisor_, 1), 1);
    for (std::int32_t k = 1; k <= count; ++k) {
        DeleteItems(row + 1, 1);
        if (k % every == 0) UpdateWindow(m_hWnd);
    }
    UpdateWindow(m_hWnd);
}

// Rows are always a pre-order subsequence of the nodes, so one walk with a cursor into the rows
// finds every row to add or drop.
BOOL TkTreeBaseC::RebuildRows() {
    std::int32_t row = 0;
    for (TreeItemNode* node = root_->NextInOrder(); node; node = node->NextInOrder()) {
        const BOOL shown = IsShown(node);
        if (NodeOfRow(row) == node) {
            if (shown) {
                node->rowHint = row++;
                continue;
            }
            TkListBaseC::SetItemState(row, 0, LVIS_SELECTED);
            DeleteItems(row, 1);
        } else if (shown) {
            if (InsertRowAt(node, row) != row) return FALSE;
            ++row;
        }
    }
    if (row < GetItemCount()) DeleteItems(row, GetItemCount() - row);
    return TRUE;
}

BOOL TkTreeBaseC::DeleteItems(std::int32_t first, std::int32_t count) {
    widestStale_ = true;
    return TkListCtrl::DeleteItems(first, count);
}

void TkTreeBaseC::Relayout() {
    UpdateLayout();
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
}

// ---- navigation

HTREEITEM TkTreeBaseC::GetChildItem(HTREEITEM item) const {
    const TreeItemNode* node = Resolve(item);
    return node ? node->FirstChild() : nullptr;
}

HTREEITEM TkTreeBaseC::GetNextSiblingItem(HTREEITEM item) const {
    const TreeItemNode* node = Resolve(item);
    return node && node != root_.get() ? node->NextSibling() : nullptr;
}

HTREEITEM TkTreeBaseC::GetPrevSiblingItem(HTREEITEM item) const {
    const TreeItemNode* node = Resolve(item);
    return node && node != root_.get() ? node->PrevSibling() : nullptr;
}

HTREEITEM TkTreeBaseC::GetParentItem(HTREEITEM item) const {
    const TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get()) return nullptr;
    TreeItemNode* parent = node->Parent();
    return parent == root_.get() ? nullptr : parent;
}

HTREEITEM TkTreeBaseC::GetRootItem(HTREEITEM item) const {
    const TreeItemNode* node = Resolve(item);
    if (!node) return nullptr;
    if (node == root_.get()) return root_->FirstChild();
    while (node->Parent() && node->Parent() != root_.get())
        node = node->Parent();
    return node->FirstChild();
}

HTREEITEM TkTreeBaseC::GetFirstVisibleItem() const {
    return NodeOfRow(GetTopIndex());
}

HTREEITEM TkTreeBaseC::GetNextVisibleItem(HTREEITEM item) {
    TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get()) return nullptr;
    const std::int32_t row = RowOfNode(node);
    if (row >= 0) return NodeOfRow(row + 1);
    for (TreeItemNode* n = node->NextInOrder(); n; n = n->NextInOrder())
        if (IsShown(n)) return n;
    return nullptr;
}

HTREEITEM TkTreeBaseC::GetPrevVisibleItem(HTREEITEM item) {
    TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get()) return nullptr;
    const std::int32_t row = RowOfNode(node);
    if (row >= 0) return NodeOfRow(row - 1);
    for (auto* n = static_cast<TreeItemNode*>(node->GetPrevInOrder()); n && n != root_.get();
         n = static_cast<TreeItemNode*>(n->GetPrevInOrder()))
        if (IsShown(n)) return n;
    return nullptr;
}

HTREEITEM TkTreeBaseC::GetLastVisibleItem() const {
    return NodeOfRow(GetItemCount() - 1);
}

HTREEITEM TkTreeBaseC::GetDropHilightItem() const {
    return NodeOfRow(GetDropHighlight());
}

HTREEITEM TkTreeBaseC::GetCaretItem() const {
    return NodeOfRow(GetFocusItem());
}

HTREEITEM TkTreeBaseC::GetFirstSelectedItem() {
    return NodeOfRow(TkListBaseC::GetNextItem(-1, LVNI_SELECTED | LVNI_BELOW));
}

HTREEITEM TkTreeBaseC::GetNextSelectedItem(HTREEITEM item) {
    TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get()) return nullptr;
    std::int32_t row = RowOfNode(node);
    if (row < 0) {
        // From the nearest shown node before it, which itself comes before the item.
        HTREEITEM before = GetPrevVisibleItem(node);
        row = before ? RowOfNode(before) : -1;
    }
    return NodeOfRow(TkListBaseC::GetNextItem(row, LVNI_SELECTED | LVNI_BELOW));
}

HTREEITEM TkTreeBaseC::GetPrevSelectedItem(HTREEITEM item) {
    TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get()) return nullptr;
    std::int32_t row = RowOfNode(node);
    if (row < 0) {
        HTREEITEM after = GetNextVisibleItem(node);
        row = after ? RowOfNode(after) : GetItemCount();
    }
    return NodeOfRow(TkListBaseC::GetNextItem(row, LVNI_SELECTED | LVNI_ABOVE));
}

HTREEITEM TkTreeBaseC::GetNextItem(HTREEITEM item, UINT code) {
    switch (code) {
    case TVGN_ROOT:
        return GetRootItem(nullptr);
    case TVGN_NEXT:
        return GetNextSiblingItem(item);
    case TVGN_PREVIOUS:
        return GetPrevSiblingItem(item);
    case TVGN_PARENT:
        return GetParentItem(item);
    case TVGN_CHILD:
        return GetChildItem(item);
    case TVGN_FIRSTVISIBLE:
        return GetFirstVisibleItem();
    case TVGN_NEXTVISIBLE:
        return GetNextVisibleItem(item);
    case TVGN_PREVIOUSVISIBLE:
        return GetPrevVisibleItem(item);
    case TVGN_DROPHILITE:
        return GetDropHilightItem();
    case TVGN_CARET:
        return GetCaretItem();
    case TreeGetFirstSelected:
        return GetFirstSelectedItem();
    case TreeGetNextSelected:
        return GetNextSelectedItem(item);
    case TreeGetPrevSelected:
        return GetPrevSelectedItem(item);
    default:
        return nullptr;
    }
}

HTREEITEM TkTreeBaseC::GetNextInOrder(HTREEITEM item) const {
    const TreeItemNode* node = Resolve(item);
    return node ? node->NextInOrder() : nullptr;
}

HTREEITEM TkTreeBaseC::GetPrevInOrder(HTREEITEM item) const {
    const TreeItemNode* node = Resolve(item);
    if (!node) return nullptr;
    auto* previous = static_cast<TreeItemNode*>(node->GetPrevInOrder());
    return previous == root_.get() ? nullptr : previous;
}

// ---- item records

TVITEM TkTreeBaseC::ItemRecord(const TreeItemNode* node, UINT mask) const {
    TVITEM record = node->item;
    record.mask = mask;
    record.hItem = const_cast<TreeItemNode*>(node);
    return record;
}

LRESULT TkTreeBaseC::SendTreeNotify(NMHDR* header) {
    if (!m_hWnd) return 0;
    return SendNotify(header);
}

void TkTreeBaseC::NotifyTreeGetDispInfo(TVITEM* record) {
    TV_DISPINFO info;
    info.hdr.code = TVN_GETDISPINFOA;
    info.item = *record;
    SendTreeNotify(&info.hdr);
    *record = info.item;
}

LRESULT TkTreeBaseC::NotifyTreeSetDispInfo(const TVITEM& record) {
    TV_DISPINFO info;
    info.hdr.code = TVN_SETDISPINFOA;
    info.item = record;
    return SendTreeNotify(&info.hdr);
}

void TkTreeBaseC::ApplyItem(TreeItemNode* node, const TVITEM& record, UINT* callbacks) {
    TVITEM& item = node->item;
    const auto store = [&](UINT bit, int& field, int value) {
        if (!(record.mask & bit)) return;
        if (field == -1)
            *callbacks |= bit;
        else
            field = value;
    };
    store(TVIF_CHILDREN, item.cChildren, record.cChildren);
    store(TVIF_IMAGE, item.iImage, record.iImage);
    store(TVIF_SELECTEDIMAGE, item.iSelectedImage, record.iSelectedImage);
    if (record.mask & TVIF_PARAM) item.lParam = record.lParam;
    if (record.mask & TVIF_STATE)
        item.state = (item.state & ~record.stateMask) | (record.state & record.stateMask);
    if (record.mask & TVIF_TEXT) {
        if (record.pszText == LPSTR_TEXTCALLBACKA)
            node->SetText(LPSTR_TEXTCALLBACKA);
        else if (node->HasCallbackText())
            *callbacks |= TVIF_TEXT;
        else
            node->SetText(record.pszText);
    }
}

BOOL TkTreeBaseC::GetItem(TVITEM* record, BOOL copyText, BOOL askParent) {
    if (!root_ || !record) return FALSE;
    TreeItemNode* node = Resolve(record->hItem);
    if (!node) return FALSE;
    const TVITEM& item = node->item;
    UINT callbacks = 0;
    const auto copy = [&](UINT bit, int& field, int value) {
        if (!(record->mask & bit)) return;
        field = value;
        if (value == -1) callbacks |= bit;
    };
    copy(TVIF_CHILDREN, record->cChildren, item.cChildren);
    copy(TVIF_IMAGE, record->iImage, item.iImage);
    copy(TVIF_SELECTEDIMAGE, record->iSelectedImage, item.iSelectedImage);
    if (record->mask & TVIF_PARAM) record->lParam = item.lParam;
    if (record->mask & TVIF_STATE) record->state = item.state & record->stateMask;
    if (record->mask & TVIF_TEXT) {
        if (node->HasCallbackText()) {
            if (!askParent) {
                record->pszText = const_cast<char*>(LPSTR_TEXTCALLBACKA);
                return -1;
            }
            callbacks |= TVIF_TEXT;
        } else if (copyText) {
            if (record->pszText && record->cchTextMax > 0) {
                const char* text = item.pszText ? item.pszText : "";
                const std::size_t length = std::min(std::strlen(text), std::size_t(record->cchTextMax - 1));
                std::memmove(record->pszText, text, length);
                record->pszText[length] = '\0';
            }
        } else {
            record->pszText = item.pszText;
        }
    }
    if (askParent && callbacks) {
        record->lParam = item.lParam;
        record->mask = callbacks;
        record->hItem = node;
        NotifyTreeGetDispInfo(record);
    }
    return TRUE;
}

BOOL TkTreeBaseC::SetItem(const TVITEM* record) {
    if (!record) return FALSE;
    TreeItemNode* node = Resolve(record->hItem);
    if (!node || node == root_.get()) return FALSE;
    UINT callbacks = 0;
    ApplyItem(node, *record, &callbacks);
    if (callbacks) {
        TVITEM parts = *record;
        parts.mask = callbacks;
        NotifyTreeSetDispInfo(parts);
        if (!IsValidItem(node)) return FALSE;
    }
    const std::int32_t row = RowOfNode(node);
    if (row < 0) return TRUE;
    UpdateRowState(node, row, record->mask);
    const bool look =
        (record->mask & (TVIF_TEXT | TVIF_IMAGE)) ||
        ((record->mask & TVIF_STATE) &&
         (record->stateMask & (TVIS_DROPHILITED | TVIS_OVERLAYMASK | TVIS_STATEIMAGEMASK | TVIS_BOLD)));
    if (look && row != editItem_) RemeasureItem(row);
    return TRUE;
}

void TkTreeBaseC::UpdateRowState(TreeItemNode* node, std::int32_t row, UINT mask) {
    LV_ITEM rowRecord;
    rowRecord.iItem = row;
    if (mask & TVIF_STATE) {
        rowRecord.mask |= LVIF_STATE;
        const UINT state = node->item.state;
        rowRecord.state = state & RowStateBits;
        if (state & TVIS_OVERLAYMASK) rowRecord.state |= LVIS_OVERLAYMASK;
        if (state & TVIS_STATEIMAGEMASK) rowRecord.state |= LVIS_STATEIMAGEMASK;
        rowRecord.stateMask = RowStateBits | LVIS_OVERLAYMASK | LVIS_STATEIMAGEMASK;
    }
    if (mask & TVIF_IMAGE) {
        rowRecord.mask |= LVIF_IMAGE;
        rowRecord.iImage = node->item.iImage;
    }
    if (rowRecord.mask) TkListBaseC::SetItem(&rowRecord, TRUE);
}

BOOL TkTreeBaseC::SetItem(HTREEITEM item, UINT mask, const char* text, int image, int selectedImage,
                          UINT state, UINT stateMask, LPARAM data) {
    TVITEM record;
    record.mask = mask;
    record.hItem = item;
    record.pszText = const_cast<char*>(text);
    record.iImage = image;
    record.iSelectedImage = selectedImage;
    record.state = state;
    record.stateMask = stateMask;
    record.lParam = data;
    return SetItem(&record);
}

std::string TkTreeBaseC::GetItemText(HTREEITEM item, std::int32_t subItem) {
    std::string text;
    GetItemText(item, subItem, text);
    return text;
}

BOOL TkTreeBaseC::GetItemText(HTREEITEM item, std::int32_t subItem, std::string& text) {
    text.clear();
    TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get()) return TRUE;
    if (subItem == 0) {
        TVITEM record;
        record.mask = TVIF_TEXT | TVIF_HANDLE;
        record.hItem = node;
        textBuffer_[0] = '\0';
        record.pszText = textBuffer_.data();
        record.cchTextMax = TextBufferSize;
        if (GetItem(&record, TRUE, TRUE) != TRUE) return TRUE;
        if (record.pszText && record.pszText != LPSTR_TEXTCALLBACKA) text = record.pszText;
        return TRUE;
    }
    if (storage_) {
        storage_->GetSubItemText(node, subItem, textBuffer_.data(), TextBufferSize);
        text = textBuffer_.data();
        return TRUE;
    }
    const std::int32_t row = RowOfNode(node);
    if (row >= 0) text = TkListBaseC::GetItemText(row, subItem);
    return TRUE;
}

BOOL TkTreeBaseC::SetItemText(HTREEITEM item, const char* text) {
    return SetItem(item, TVIF_TEXT | TVIF_HANDLE, text, 0, 0, 0, 0, 0);
}

BOOL TkTreeBaseC::SetItemText(HTREEITEM item, std::int32_t subItem, const char* text) {
    if (subItem == 0) return SetItemText(item, text);
    TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get()) return FALSE;
    const std::int32_t row = RowOfNode(node);
    if (!storage_) return row >= 0 ? TkListBaseC::SetItemText(row, subItem, text) : FALSE;
    if (subItem >= GetColumnCount()) return FALSE;
    if (!storage_->SetSubItemText(node, subItem, text)) return FALSE;
    if (row >= 0) RemeasureItem(row);
    return TRUE;
}

BOOL TkTreeBaseC::GetItemRect(HTREEITEM item, RECT* rect, std::int32_t code) {
    const std::int32_t row = RowOfNode(Resolve(item));
    return row >= 0 ? TkListBaseC::GetItemRect(row, rect, code) : FALSE;
}

BOOL TkTreeBaseC::GetItemImage(HTREEITEM item, int& image, int& selectedImage) {
    TVITEM record;
    record.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    record.hItem = item;
    if (GetItem(&record, FALSE, TRUE) != TRUE) return FALSE;
    image = record.iImage;
    selectedImage = record.iSelectedImage;
    return TRUE;
}

BOOL TkTreeBaseC::SetItemImage(HTREEITEM item, int image, int selectedImage) {
    return SetItem(item, TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE, nullptr, image, selectedImage, 0, 0,
                   0);
}

UINT TkTreeBaseC::GetItemState(HTREEITEM item, UINT mask) {
    const TreeItemNode* node = Resolve(item);
    return node && node != root_.get() ? node->item.state & mask : 0;
}

BOOL TkTreeBaseC::SetItemState(HTREEITEM item, UINT state, UINT mask) {
    return SetItem(item, TVIF_HANDLE | TVIF_STATE, nullptr, 0, 0, state, mask, 0);
}

LPARAM TkTreeBaseC::GetItemData(HTREEITEM item) const {
    const TreeItemNode* node = Resolve(item);
    return node && node != root_.get() ? node->item.lParam : 0;
}

BOOL TkTreeBaseC::SetItemData(HTREEITEM item, LPARAM data) {
    return SetItem(item, TVIF_HANDLE | TVIF_PARAM, nullptr, 0, 0, 0, 0, data);
}

std::int32_t TkTreeBaseC::SetItemRowValue(HTREEITEM item, std::int32_t value) {
    TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get()) return 0;
    const std::int32_t previous = node->rowValue;
    node->rowValue = value;
    const std::int32_t row = RowOfNode(node);
    if (row >= 0) {
        GetItemRecord(row)->rowHeight = -1;
        RemeasureItem(row);
    }
    return previous;
}

BOOL TkTreeBaseC::ItemHasChildren(HTREEITEM item) const {
    const TreeItemNode* node = Resolve(item);
    return node && node->FirstChild();
}

BOOL TkTreeBaseC::IsExpanded(HTREEITEM item) const {
    const TreeItemNode* node = Resolve(item);
    return node && node->IsExpanded();
}

std::int32_t TkTreeBaseC::CountChildren(HTREEITEM item, BOOL recursive, BOOL expandedOnly) const {
    const TreeItemNode* node = Resolve(item);
    if (!node) return 0;
    std::int32_t count = 0;
    for (const TreeItemNode* child = node->FirstChild(); child; child = child->NextSibling()) {
        ++count;
        if (recursive && child->FirstChild() && (!expandedOnly || child->IsExpanded()))
            count += CountChildren(const_cast<TreeItemNode*>(child), TRUE, FALSE);
    }
    return count;
}

std::int32_t TkTreeBaseC::GetCount() const {
    return CountChildren(root_.get(), TRUE, FALSE);
}

BOOL TkTreeBaseC::IsItemSelected(HTREEITEM item) {
    const std::int32_t row = RowOfNode(Resolve(item));
    return row >= 0 && IsItemSelected(row);
}

BOOL TkTreeBaseC::SetItemExState(HTREEITEM item, const TkTreeExState& state) {
    TreeItemNode* node = Resolve(item);
    if (!node || node == root_.get()) return FALSE;
    if (!(state.mask & 1)) return TRUE;
    const DWORD bits = state.stateMask & (TreeItemNode::Marked | TreeItemNode::Hidden);
    node->exState = (node->exState & ~bits) | (state.state & bits);
    return TRUE;
}

BOOL TkTreeBaseC::GetItemExState(HTREEITEM item, TkTreeExState* state, BOOL /*notify*/) {
    const TreeItemNode* node = Resolve(item);
    if (!node || !state) return FALSE;
    if (state->mask & 1) state->state = node->exState & state->stateMask;
    return TRUE;
}

// ---- insertion

// The parent takes the node over, leaving `node` empty; on failure the caller keeps it.
BOOL TkTreeBaseC::LinkNode(TreeItemNode* parent, std::unique_ptr<TreeItemNode>& node, HTREEITEM insertAfter) {
    TkTreeNode* where = TkTreeNode::AddLast;
    if (insertAfter == TVI_FIRST) {
        where = TkTreeNode::AddFirst;
    } else if (insertAfter == TVI_SORT || insertAfter == TreeInsertSortDescending) {
        const bool descending = insertAfter == TreeInsertSortDescending;
        where = TkTreeNode::AddFirst;
        for (TreeItemNode* child = parent->FirstChild(); child; child = child->NextSibling()) {
            const std::int32_t order = CompareItems(child, node.get());
            if (descending ? order < 0 : order > 0) break;
            where = child;
        }
    } else if (insertAfter && insertAfter != TVI_ROOT && insertAfter != TVI_LAST) {
        where = IsSpecial(insertAfter) || !live_.count(insertAfter) ? nullptr : insertAfter;
        if (!where && parent->GetRawFirstChild()) return FALSE;
        if (!where) where = TkTreeNode::AddLast;
    }
    std::unique_ptr<TkTreeNode> linked(node.release());
    const BOOL done = parent->AddChild(linked, where);
    node.reset(static_cast<TreeItemNode*>(linked.release()));
    return done;
}

HTREEITEM TkTreeBaseC::InsertItem(const TVINSERTSTRUCT* record) {
    if (!record) return nullptr;
    if (!root_) {
        root_ = CreateNode();
        live_.insert(root_.get());
        root_->SetExpanded(TRUE);
    }
    TreeItemNode* parent = Resolve(record->hParent);
    if (!parent) return nullptr;
    std::unique_ptr<TreeItemNode> node(NewNode());
    node->item.hItem = node.get();
    TVITEM fields = record->item;
    fields.mask |= TVIF_HANDLE;
    UINT ignored = 0;
    ApplyItem(node.get(), fields, &ignored);
    node->item.state &= ~TVIS_EXPANDED;
    TreeItemNode* added = node.get();
    if (!LinkNode(parent, node, record->hInsertAfter)) {
        // The node made for a refused insertion goes again at once.
        live_.erase(added);
        return nullptr;
    }
    const TVITEM& item = record->item;
    if ((item.mask & TVIF_STATE) && (item.stateMask & TVIS_EXPANDED) && (item.state & TVIS_EXPANDED))
        added->SetExpanded(TRUE);
    if (IsShown(added)) InsertRow(added);
    if (GetAutoUpdate()) Relayout();
    return added;
}

HTREEITEM TkTreeBaseC::InsertItem(UINT mask, const char* text, int image, int selectedImage, UINT state,
                                  UINT stateMask, LPARAM data, HTREEITEM parent, HTREEITEM insertAfter) {
    TVINSERTSTRUCT record;
    record.hParent = parent;
    record.hInsertAfter = insertAfter;
    record.item.mask = mask;
    record.item.pszText = const_cast<char*>(text);
    record.item.iImage = image;
    record.item.iSelectedImage = selectedImage;
    record.item.state = state;
    record.item.stateMask = stateMask;
    record.item.lParam = data;
    return InsertItem(&record);
}

HTREEITEM TkTreeBaseC::InsertItem(const char* text, HTREEITEM parent, HTREEITEM insertAfter) {
    return InsertItem(TVIF_TEXT, text, 0, 0, 0, 0, 0, parent, insertAfter);
}

HTREEITEM TkTreeBaseC::InsertItem(const char* text, int image, int selectedImage, HTREEITEM parent,
                                  HTREEITEM insertAfter) {
    return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, text, image, selectedImage, 0, 0, 0,
                      parent, insertAfter);
}

BOOL TkTreeBaseC::InsertItems(const TVITEM* records, HTREEITEM parentItem, std::int32_t count, BOOL redraw) {
    if (!records || count <= 0) return FALSE;
    TreeItemNode* parent = Resolve(parentItem);
    if (!parent) return FALSE;
    TreeItemNode* first = nullptr;
    for (std::int32_t k = 0; k < count; ++k) {
        std::unique_ptr<TreeItemNode> node(NewNode());
        node->item.hItem = node.get();
        TVITEM fields = records[k];
        fields.mask |= TVIF_HANDLE;
        UINT ignored = 0;
        ApplyItem(node.get(), fields, &ignored);
        TreeItemNode* added = node.get();
        if (!LinkNode(parent, node, TVI_LAST)) {
            live_.erase(added);
            return FALSE;
        }
        if (!first) first = added;
    }
    if (IsShown(first)) {
        std::int32_t row = InsertRow(first);
        for (TreeItemNode* n = first->NextSibling(); n; n = n->NextSibling())
            row = InsertRowAt(n, row + 1);
    }
    if (redraw) Relayout();
    return TRUE;
}

// ---- deletion

BOOL TkTreeBaseC::DeleteItem(HTREEITEM item) {
    if (!item) return FALSE;
    const BOOL done = DeleteItemInternal(item);
    if (GetAutoUpdate()) Relayout();
    return done;
}

BOOL TkTreeBaseC::DeleteAllItems() {
    return DeleteItem(TVI_ROOT);
}

void TkTreeBaseC::NotifyTreeDeleteItem(TreeItemNode* node) {
    if (GetNotifyTarget()) {
        NMTREEVIEW record;
        record.hdr.code = TVN_DELETEITEMA;
        record.itemOld = ItemRecord(node, TVIF_HANDLE | TVIF_PARAM);
        SendTreeNotify(&record.hdr);
    }
    if (storage_) storage_->RemoveItem(node);
}

// The rows of the subtree go first, in one piece, so no row ever names a destroyed node while the
// owner hears of the deletions; then the nodes, leaves first, each announced after it is unlinked
// and before it is destroyed. The owner may change the tree meanwhile, so links are read afresh.
BOOL TkTreeBaseC::DeleteItemInternal(HTREEITEM item) {
    if (!root_) return TRUE;
    TreeItemNode* node = item == TVI_ROOT ? root_.get() : Resolve(item);
    if (!node) return FALSE;
    const bool root = node == root_.get();
    if (root) {
        TkListBaseC::DeleteAllItems();
    } else if (const std::int32_t row = RowOfNode(node); row >= 0) {
        RemoveDescendantRows(node);
        if (IsItemSelected(row)) TkListBaseC::SetItemState(row, 0, LVIS_SELECTED);
        DeleteItems(RowOfNode(node), 1);
    }
    const auto remove = [&](TreeItemNode* gone) {
        if (gone->GetRawFirstChild()) return false;
        gone->Unlink();
        if (m_hWnd)
            NotifyTreeDeleteItem(gone);
        else if (storage_)
            storage_->RemoveItem(gone);
        DestroyNode(gone);
        return true;
    };
    while (live_.count(node) && node->GetRawFirstChild()) {
        TkTreeNode* leaf = node->GetRawFirstChild();
        while (leaf->GetRawFirstChild())
            leaf = leaf->GetRawFirstChild();
        auto* gone = static_cast<TreeItemNode*>(leaf);
        // Only a node the owner showed again meanwhile can still have a row.
        if (IsShown(gone))
            if (const std::int32_t row = RowOfNode(gone); row >= 0) DeleteItems(row, 1);
        if (!remove(gone)) return FALSE;
    }
    if (!live_.count(node)) return FALSE;
    if (!root) {
        if (IsShown(node))
            if (const std::int32_t row = RowOfNode(node); row >= 0) DeleteItems(row, 1);
        return remove(node);
    }
    // The hidden level belongs to the tree, not to the items, so the new root keeps it.
    const std::uint16_t level = root_->GetHiddenLevel();
    live_.erase(root_.get());
    root_.reset();
    TkListBaseC::DeleteAllItems();
    root_ = CreateNode();
    live_.insert(root_.get());
    root_->SetExpanded(TRUE);
    root_->SetHiddenLevel(level);
    return TRUE;
}

} // namespace vq
