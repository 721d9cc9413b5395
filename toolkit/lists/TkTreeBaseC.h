#pragma once

#include "toolkit/lists/TkListCtrl.h"
#include "toolkit/lists/TkSubItemTextStorage.h"
#include "toolkit/lists/TreeItemNode.h"

#include <memory>
#include <unordered_set>
#include <vector>

namespace vq {

// The tree's own extended styles; each sets list styles underneath.
inline constexpr DWORD TreeExMultiSelect = 0x00100000;
inline constexpr DWORD TreeExLabelWrap = 0x00200000;
inline constexpr DWORD TreeExColumnHeader = 0x00400000;
inline constexpr DWORD TreeExTips = 0x00800000;
inline constexpr DWORD TreeExAnimate = 0x01000000;
inline constexpr DWORD TreeExHoverExpand = 0x02000000;
inline constexpr DWORD TreeExHeaderButtons = 0x04000000;
inline constexpr DWORD TreeExHeaderStyle = 0x08000000;

// Insert-after value: the sorted place, largest first.
inline const HTREEITEM TreeInsertSortDescending = TreeSpecialItem(0xFFFF0010u);
// GetNextItem codes of the selection.
inline constexpr UINT TreeGetFirstSelected = 0x20;
inline constexpr UINT TreeGetNextSelected = 0x21;
inline constexpr UINT TreeGetPrevSelected = 0x22;

// The hit flags of a tree point, TVHT_* with 0x4000 for a point on a row.
inline constexpr UINT TreeHitOnRow = 0x4000;

struct TVHITTESTINFO {
    POINT pt;
    UINT flags = 0;
    HTREEITEM hItem = nullptr;
};

// The comparison of SortChildrenCB: negative, zero or positive as the first data goes before,
// with or after the second.
using PFNTVCOMPARE = int (*)(LPARAM first, LPARAM second, LPARAM sortData);
struct TVSORTCB {
    HTREEITEM hParent = nullptr;
    PFNTVCOMPARE lpfnCompare = nullptr;
    LPARAM lParam = 0;
};

// An item's marked and hidden bits, read and written under a mask (bit 1 of `mask`: state valid).
struct TkTreeExState {
    DWORD mask = 0;
    DWORD state = 0;
    DWORD stateMask = 0;
};

// The message sent to the owner after a label edit was stored: the control id and the item.
UINT TkTreeEndLabelEditMessage();

// One cell of column 0 on its way through preparing, measuring and painting.
struct TkTreePaintContext : TkListPaintContext {
    TVITEM treeItem;
    TkTreeExState exState;
    TreeItemNode* node = nullptr;
};

// A tree over the owner-drawn list: the hierarchy lives in nodes, and the list holds one row for
// every node that is shown (neither it nor an ancestor hidden, every ancestor expanded), in
// pre-order. Scrolling, selection, columns and the other columns' painting come from the list;
// the tree adds expansion, the first column's drawing and the tree-view notifications.
class TkTreeBaseC : public TkListCtrl {
    VQ_DECLARE_RUNTIME_CLASS(TkTreeBaseC)
public:
    static constexpr DWORD StoredTreeStyles = 0x417;
    static constexpr std::int32_t DefaultIndent = 20;

    TkTreeBaseC();
    ~TkTreeBaseC() override;

    using TkListBaseC::Create;
    BOOL Create(DWORD style, DWORD exStyle, const RECT& rect, CWnd* parent, UINT id) override;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) override;

    // Navigation; NULL and TVI_ROOT stand for the invisible root.
    HTREEITEM GetChildItem(HTREEITEM item) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    HTREEITEM GetPrevSiblingItem(HTREEITEM item) const;
    HTREEITEM GetParentItem(HTREEITEM item) const;
    HTREEITEM GetRootItem(HTREEITEM item = nullptr) const;
    HTREEITEM GetFirstVisibleItem() const;
    HTREEITEM GetNextVisibleItem(HTREEITEM item);
    HTREEITEM GetPrevVisibleItem(HTREEITEM item);
    HTREEITEM GetLastVisibleItem() const;
    HTREEITEM GetDropHilightItem() const;
    HTREEITEM GetCaretItem() const;
    HTREEITEM GetFirstSelectedItem();
    HTREEITEM GetNextSelectedItem(HTREEITEM item);
    HTREEITEM GetPrevSelectedItem(HTREEITEM item);
    using TkListBaseC::GetNextItem;
    HTREEITEM GetNextItem(HTREEITEM item, UINT code);
    HTREEITEM GetNextInOrder(HTREEITEM item) const;
    HTREEITEM GetPrevInOrder(HTREEITEM item) const;
    // A handle of a node alive in this tree; a deleted node's handle is not one.
    BOOL IsValidItem(HTREEITEM item) const;

    // Items.
    using TkListBaseC::InsertItem;
    HTREEITEM InsertItem(const TVINSERTSTRUCT* record);
    HTREEITEM InsertItem(UINT mask, const char* text, int image, int selectedImage, UINT state,
                         UINT stateMask, LPARAM data, HTREEITEM parent, HTREEITEM insertAfter);
    HTREEITEM InsertItem(const char* text, HTREEITEM parent = TVI_ROOT, HTREEITEM insertAfter = TVI_LAST);
    HTREEITEM InsertItem(const char* text, int image, int selectedImage, HTREEITEM parent = TVI_ROOT,
                         HTREEITEM insertAfter = TVI_LAST);
    BOOL InsertItems(const TVITEM* records, HTREEITEM parent, std::int32_t count, BOOL redraw);
    using TkListBaseC::DeleteItem;
    BOOL DeleteItem(HTREEITEM item);
    BOOL DeleteAllItems() override;
    using TkListBaseC::GetItem;
    using TkListBaseC::SetItem;
    virtual BOOL GetItem(TVITEM* record, BOOL copyText = TRUE, BOOL askParent = TRUE);
    virtual BOOL SetItem(const TVITEM* record);
    BOOL SetItem(HTREEITEM item, UINT mask, const char* text, int image, int selectedImage, UINT state,
                 UINT stateMask, LPARAM data);
    using TkListBaseC::GetItemText;
    std::string GetItemText(HTREEITEM item, std::int32_t subItem = 0);
    BOOL GetItemText(HTREEITEM item, std::int32_t subItem, std::string& text);
    using TkListBaseC::SetItemText;
    virtual BOOL SetItemText(HTREEITEM item, const char* text);
    virtual BOOL SetItemText(HTREEITEM item, std::int32_t subItem, const char* text);
    using TkListBaseC::GetItemRect;
    BOOL GetItemRect(HTREEITEM item, RECT* rect, std::int32_t code);
    BOOL GetItemImage(HTREEITEM item, int& image, int& selectedImage);
    BOOL SetItemImage(HTREEITEM item, int image, int selectedImage);
    using TkListBaseC::GetItemState;
    using TkListBaseC::SetItemState;
    UINT GetItemState(HTREEITEM item, UINT mask);
    BOOL SetItemState(HTREEITEM item, UINT state, UINT mask);
    using TkListBaseC::GetItemData;
    using TkListBaseC::SetItemData;
    LPARAM GetItemData(HTREEITEM item) const;
    BOOL SetItemData(HTREEITEM item, LPARAM data);
    // The previous value.
    std::int32_t SetItemRowValue(HTREEITEM item, std::int32_t value);
    BOOL ItemHasChildren(HTREEITEM item) const;
    BOOL IsExpanded(HTREEITEM item) const;
    std::int32_t CountChildren(HTREEITEM item, BOOL recursive, BOOL expandedOnly) const;
    std::int32_t GetCount() const;
    using TkListBaseC::IsItemSelected;
    BOOL IsItemSelected(HTREEITEM item);
    virtual BOOL SetItemExState(HTREEITEM item, const TkTreeExState& state);
    virtual BOOL GetItemExState(HTREEITEM item, TkTreeExState* state, BOOL notify);

    // Expansion and visibility.
    BOOL Expand(HTREEITEM item, UINT code, BOOL redraw = TRUE, BOOL force = FALSE);
    BOOL ExpandAll(HTREEITEM item, BOOL redraw);
    HTREEITEM ExpandCaretItem(UINT code);
    BOOL CollapseAll(HTREEITEM item, BOOL redraw);
    BOOL EnsureShown(HTREEITEM item, BOOL keepParent);
    using TkListBaseC::EnsureVisible;
    BOOL EnsureVisible(HTREEITEM item);
    BOOL SelectSetFirstVisible(HTREEITEM item);

    // Selection.
    BOOL Select(HTREEITEM item, UINT code);
    using TkListBaseC::SelectItem;
    BOOL SelectItem(HTREEITEM item);
    BOOL SelectItemAdd(HTREEITEM item);
    BOOL SelectDropTarget(HTREEITEM item, BOOL ensureShown = TRUE);
    using TkListBaseC::SelectRange;
    BOOL SelectRange(HTREEITEM first, HTREEITEM last, BOOL select);
    BOOL SelectChildren(HTREEITEM item);

    // Hit testing: the item under a client point with TVHT_* flags.
    using TkListBaseC::HitTest;
    HTREEITEM HitTest(POINT point, UINT* flags);
    HTREEITEM HitTest(TVHITTESTINFO* info);
    virtual BOOL GetButtonRect(std::int32_t row, RECT* rect);

    std::int32_t GetIndent() const { return indent_; }
    void SetIndent(std::int32_t pixels);
    void SetScrollOnExpand(BOOL on) { scrollOnExpand_ = on; }
    CImageList* GetImageList(std::int32_t type) const override;
    CImageList* SetImageList(CImageList* list, std::int32_t type) override;

    virtual TkSubItemTextStorage* EnableSubItemStorage(BOOL enable);
    virtual BOOL HasSubItemStorage() const { return storage_ != nullptr; }
    virtual std::int32_t CompareItems(HTREEITEM first, HTREEITEM second);

    // Styles, sorting, moving, marked and hidden items.
    virtual void GetStyles(DWORD* style, DWORD* exStyle) const;
    virtual void SetStyles(DWORD style, DWORD exStyle, BOOL redraw);
    virtual DWORD GetTreeStyle() const;
    virtual DWORD GetTreeExStyle() const { return treeExStyle_; }
    virtual void SetTreeStyle(DWORD style, BOOL redraw);
    virtual void SetTreeExStyle(DWORD exStyle, BOOL redraw);
    virtual void ModifyTreeStyle(DWORD remove, DWORD add, BOOL redraw);
    virtual void ModifyTreeExStyle(DWORD remove, DWORD add, BOOL redraw);
    virtual void ModifyStyles(DWORD removeStyle, DWORD addStyle, DWORD removeEx, DWORD addEx, BOOL redraw);
    void SetWrapLabels(BOOL wrap) override;
    void SetLabelTips(BOOL on) override;
    void SetMultiSelect(BOOL on) override;
    BOOL MoveItem(HTREEITEM item, HTREEITEM newParent, BOOL redraw, HTREEITEM insertAfter);
    BOOL SortChildren(HTREEITEM item, BOOL recursive, BOOL ascending);
    BOOL SortChildrenCB(const TVSORTCB* sort, BOOL recursive, BOOL ascending);
    BOOL SetItemMarked(HTREEITEM item, BOOL marked);
    BOOL IsItemMarked(HTREEITEM item) const;
    void MarkAll(BOOL marked);
    HTREEITEM GetFirstMarkedItem() const;
    HTREEITEM GetNextMarkedItem(HTREEITEM item) const;
    BOOL SetItemHidden(HTREEITEM item, BOOL hidden);
    BOOL IsItemHidden(HTREEITEM item) const;
    HTREEITEM GetFirstHiddenItem() const;
    HTREEITEM GetNextHiddenItem(HTREEITEM item) const;
    BOOL ShowAllHidden();
    void SetHideMarked(BOOL hide);
    BOOL GetHideMarked() const { return hideMarked_; }
    BOOL SetHiddenLevel(std::uint16_t level);
    std::uint16_t GetHiddenLevel() const { return root_->GetHiddenLevel(); }

    // The item's icon with its label 6 pixels right of it; null without a normal image list.
    virtual std::unique_ptr<CImageList> CreateDragImage(HTREEITEM item);
    // One image of every selected row at its place, each indented by its depth, and the top-left
    // corner of the rows in `topLeft`; a single row's own image with one row selected.
    std::unique_ptr<CImageList> CreateSelectionDragImage(POINT* topLeft);

    // The list steps the tree takes over.
    LPARAM GetRecordData(const TkListItem* record) const override;
    BOOL SetItem(LV_ITEM* record, BOOL redraw) override;
    BOOL GetItem(LV_ITEM* record, BOOL copyText, BOOL notify) override;
    BOOL SetItemExtraState(const LV_ITEM& item, const TkListExtraState& extra) override;
    BOOL GetItemExtraState(const LV_ITEM& item, TkListExtraState* extra, BOOL notify) override;
    BOOL IsCallbackItem(std::int32_t item) const override;
    UINT GetTipItemState(std::int32_t item, UINT mask) const override;
    std::unique_ptr<TkListPaintContext> NewPaintContext(HDC dc) override;
    BOOL PrepareCell(TkListPaintContext* context) override;
    void PrepareFont(TkListPaintContext* context) override;
    std::int32_t MeasureCell(TkListPaintContext* context) override;
    void PaintCell(TkListPaintContext* context) override;
    void OnColumnMoved(std::int32_t from, std::int32_t to) override;
    // One column of unwrapped labels: as wide as the widest label measured, kept as rows are
    // measured rather than searched for on every paint.
    std::int32_t GetContentWidth(BOOL measure) override;
    BOOL DeleteItems(std::int32_t first, std::int32_t count) override;
    void SplitCreateStyles(CREATESTRUCT& cs) override;
    BOOL OnSelectionChanging(std::int32_t item, std::int32_t previousFocus, BOOL byMouse) override;
    void OnSelectionChanged(std::int32_t item, std::int32_t previousFocus, BOOL byMouse) override;
    void NotifyBeginDrag(std::int32_t item, std::int32_t x, std::int32_t y) override;
    void NotifyBeginRightDrag(std::int32_t item, std::int32_t x, std::int32_t y) override;
    void NotifyKeyDown(UINT key) override;
    BOOL NotifyBeginLabelEdit(std::int32_t item, std::int32_t subItem) override;
    BOOL NotifyEndLabelEdit(std::int32_t item, std::int32_t subItem, char* text, BOOL commit) override;
    void OnLabelEdited(std::int32_t item, std::int32_t subItem) override;
    void NotifyGetDispInfo(LV_ITEM* record) override;
    void NotifySetDispInfo(const LV_ITEM& parts) override;
    // Rows going away are announced per node by the tree, not per row by the list.
    void NotifyDeleteItem(std::int32_t) override {}

    // The node of a row and the row of a node (-1 when it has none).
    TreeItemNode* NodeOfRow(std::int32_t row) const;
    std::int32_t RowOfNode(const TreeItemNode* node) const;
    TreeItemNode* GetRootNode() const { return root_.get(); }

protected:
    virtual std::unique_ptr<TreeItemNode> CreateNode();
    virtual BOOL DeleteItemInternal(HTREEITEM item);
    virtual void NotifyTreeDeleteItem(TreeItemNode* node);
    virtual LRESULT NotifyItemExpanding(TreeItemNode* node, UINT action);
    virtual void NotifyItemExpanded(TreeItemNode* node, UINT action);
    virtual void NotifyTreeGetDispInfo(TVITEM* record);
    virtual LRESULT NotifyTreeSetDispInfo(const TVITEM& record);
    virtual void MeasureLabel(TkTreePaintContext* context, TreeItemNode* node, const char* text, RECT* rect);
    virtual void DrawHierarchyLines(TkTreePaintContext* context);
    virtual void DrawButton(TkTreePaintContext* context);
    virtual void DrawHorzLine(HDC dc, std::int32_t x0, std::int32_t x1, std::int32_t y);
    virtual void DrawVertLine(HDC dc, std::int32_t x, std::int32_t y0, std::int32_t y1);
    virtual HBITMAP RenderLabelBitmap(HDC dc, const char* text, SIZE* size);
    virtual std::unique_ptr<CImageList> CreateLabelImage(HDC dc, const char* text);
    virtual std::unique_ptr<CImageList> CreateIconImage(HDC dc, int image);
    virtual std::unique_ptr<CImageList> MergeDragImages(const CImageList& icon, const CImageList& label);
    virtual void RedrawItem(HTREEITEM item, BOOL labelOnly, BOOL erase, BOOL toBottom, BOOL updateNow);

    // The node an argument names: NULL and TVI_ROOT the root, a live node itself, else null.
    TreeItemNode* Resolve(HTREEITEM item) const;
    TreeItemNode* NewNode();
    void DestroyNode(TreeItemNode* node);
    BOOL IsShown(const TreeItemNode* node) const;
    BOOL ReportsChildren(TreeItemNode* node);
    // The shown node whose row comes right before the row a shown node takes.
    const TreeItemNode* PreviousShown(const TreeItemNode* node) const;
    std::unique_ptr<TkListItem> NewRowRecord(TreeItemNode* node);
    void CollectShownDescendants(TreeItemNode* node, std::vector<TreeItemNode*>& nodes) const;
    std::int32_t InsertRow(TreeItemNode* node);
    std::int32_t InsertRowAt(TreeItemNode* node, std::int32_t row);
    // Rows of an expanded node's shown descendants, after `row`; the last row made.
    std::int32_t InsertDescendantRows(TreeItemNode* node, std::int32_t row);
    void RemoveDescendantRows(TreeItemNode* node);
    // Makes the rows the shown nodes in pre-order again, keeping the rows that stay.
    BOOL RebuildRows();
    BOOL LinkNode(TreeItemNode* parent, std::unique_ptr<TreeItemNode>& node, HTREEITEM insertAfter);
    void ApplyItem(TreeItemNode* node, const TVITEM& record, UINT* callbacks);
    void UpdateRowState(TreeItemNode* node, std::int32_t row, UINT mask);
    BOOL SetSubItemThroughStorage(LV_ITEM* record, BOOL redraw);
    LRESULT SendTreeNotify(NMHDR* header);
    LRESULT NotifySelection(UINT code, UINT action, std::int32_t oldRow, std::int32_t newRow);
    void FocusRow(std::int32_t row);
    void RedrawAfter(const RECT& clientBefore, std::int32_t row);
    void Relayout();
    TVITEM ItemRecord(const TreeItemNode* node, UINT mask) const;
    BOOL SortNode(TreeItemNode* node, BOOL recursive, BOOL ascending, const TVSORTCB* sort);
    void RewriteRows(TreeItemNode* node);
    BOOL HasRootLines() const;
    bool DotAt(std::int32_t x, std::int32_t y) const;
    // The plus/minus box of a row whose record and node are given, at the row's left and top.
    RECT ButtonBox(const TkListItem& record, const TreeItemNode* node, std::int32_t left,
                   std::int32_t top) const;
    std::int32_t LineColumnAt(const TkListItem& record, const TreeItemNode* node, std::int32_t left) const;

    std::unique_ptr<TkSubItemTextStorage> storage_;
    std::unique_ptr<TreeItemNode> root_;
    std::int32_t indent_ = DefaultIndent;
    BOOL hideMarked_ = FALSE;
    DWORD treeStyle_ = 0;
    DWORD treeExStyle_ = 0;
    std::uintptr_t hoverTimer_ = 0;
    UINT hoverDelay_ = 1000;
    std::int32_t animationDivisor_ = 5;
    std::int32_t animationCounter_ = 0;
    BOOL scrollOnExpand_ = TRUE;
    std::unordered_set<const TreeItemNode*> live_;
    std::int32_t widestLabel_ = 0;
    // Set when rows go or labels change, so the widest label must be looked for again.
    bool widestStale_ = true;
};

} // namespace vq
