#pragma once

#include "platform/classlib/ImageList.h"
#include "platform/classlib/Wnd.h"
#include "platform/gui/ListViewTypes.h"
#include "toolkit/lists/TkListClient.h"
#include "toolkit/lists/TkListEdit.h"
#include "toolkit/lists/TkListItem.h"
#include "toolkit/lists/TkListTip.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vq {

// One cell on its way through preparing, measuring and painting.
struct TkListPaintContext {
    // Lists that paint more keep their context in a derived one, deleted through this.
    virtual ~TkListPaintContext() = default;

    LV_ITEM item;
    // the tree's item flags; 0x100 draws the text in the disabled colour
    UINT treeFlags = 0;
    HDC dc = 0;
    RECT cell;
    std::int32_t column = 0;
    std::int32_t view = 0;
    HFONT font = 0;
    TkListItem* record = nullptr;
    TkListSubItem* subItem = nullptr;
    TkListColumn* columnRecord = nullptr;
    COLORREF textColor = 0;
    COLORREF textBkColor = 0;
    COLORREF bkColor = 0;
    COLORREF rowBkColor = 0;
};

// A multi-column list that keeps its items, sub-items and columns itself and offers the list-view
// interface without the system's control. Every step is virtual so the tree and the shortcut list
// can replace single ones; indexes are signed and -1 means none.
class TkListBaseC : public CWnd, public TkListClient {
    VQ_DECLARE_RUNTIME_CLASS(TkListBaseC)
public:
    // Style bits that belong to the list rather than to the window.
    static constexpr DWORD ListStyleBits = 0xF3FF;
    static constexpr DWORD ListExStyleBits = 0x1FF00000;
    static constexpr std::int32_t TextBufferSize = 2048;

    TkListBaseC();
    ~TkListBaseC() override;
    TkListBaseC(const TkListBaseC&) = delete;
    TkListBaseC& operator=(const TkListBaseC&) = delete;

    virtual BOOL Create(DWORD style, DWORD exStyle, const RECT& rect, CWnd* parent, UINT id);
    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // The list with the id, style (with a border), extended style and place of the dialog's child,
    // which it replaces; FALSE when there is no such child.
    virtual BOOL ReplaceDlgItem(UINT id, CWnd* dialog);

    virtual COLORREF GetBkColor() const;
    virtual COLORREF GetTextColor() const { return colors_.text; }
    virtual COLORREF GetTextBkColor() const { return colors_.textBk; }
    virtual COLORREF GetDisabledTextColor() const { return colors_.disabledText; }
    virtual COLORREF GetRowBkColor() const { return colors_.rowBk; }
    virtual COLORREF GetFocusRowBkColor() const { return colors_.focusRowBk; }
    virtual HFONT GetHeaderFont() const;
    virtual CWnd* GetNotifyWnd() const { return notifyWnd_; }

    virtual void SetBkColor(COLORREF colour);
    virtual void SetTextColor(COLORREF colour) { colors_.text = colour; }
    virtual void SetTextBkColor(COLORREF colour) { colors_.textBk = colour; }
    virtual void SetSelTextColor(COLORREF colour) { colors_.selText = colour; }
    virtual void SetSelBkColor(COLORREF colour) { colors_.selBk = colour; }
    virtual void SetDisabledTextColor(COLORREF colour) { colors_.disabledText = colour; }
    virtual void SetRowBkColor(COLORREF colour) { colors_.rowBk = colour; }
    virtual void SetFocusRowBkColor(COLORREF colour) { colors_.focusRowBk = colour; }
    virtual void SetTipBkColor(COLORREF colour) { colors_.tipBk = colour; }
    virtual void SetTipTextColor(COLORREF colour) { colors_.tipText = colour; }
    virtual void SetItemFont(HFONT font) { itemFont_ = font; }
    virtual void SetHeaderFont(HFONT font) { headerFont_ = font; }
    virtual void SetNotifyWnd(CWnd* window) { notifyWnd_ = window; }
    virtual void SetUseSysColors(BOOL use) { useSysColors_ = use; }
    virtual BOOL GetUseSysColors() const { return useSysColors_; }

    virtual void StartAutoScroll(UINT period);
    virtual void StopAutoScroll();
    virtual void InvalidateItem(std::int32_t item, BOOL labelOnly, BOOL erase, BOOL toBottom, BOOL updateNow);
    virtual void InvalidateItemRange(std::int32_t first, std::int32_t last);
    virtual std::int32_t GetTopIndex() const { return topIndex_; }
    virtual std::int32_t GetCountPerPage();
    virtual std::int32_t GetPageUpCount();
    virtual std::int32_t GetLastPageTop();
    virtual std::int32_t GetLastFullyVisible(BOOL measure);
    virtual std::int32_t GetVisibleEnd();
    virtual std::int32_t GetPageStartAbove();
    virtual std::int32_t ItemFromContentY(POINT point);
    virtual BOOL SetItemHeight(std::int32_t item, std::int32_t height);
    virtual std::int32_t GetRangeHeight(std::int32_t a, std::int32_t b, BOOL inclusive);
    virtual std::int32_t CountItemsInHeight(std::int32_t height, std::int32_t start, BOOL forward);
    virtual void RemeasureAll();
    virtual void RemeasureItem(std::int32_t item);

    virtual BOOL DeleteColumnByHeading(const char* heading);
    virtual BOOL DeleteColumn(std::int32_t column);
    virtual void DeleteAllColumns();
    virtual std::int32_t AddColumn(const LV_COLUMN& column);
    virtual std::int32_t AddColumn(const char* heading, std::int32_t format, std::int32_t width,
                                   std::int32_t subItem, std::int32_t image);
    virtual std::int32_t AddColumn(std::unique_ptr<TkListColumn> column);
    virtual std::int32_t InsertColumn(std::int32_t index, const LV_COLUMN& column, BOOL redraw);
    virtual std::int32_t InsertColumn(std::int32_t index, const char* heading, std::int32_t format,
                                      std::int32_t width, std::int32_t subItem, std::int32_t image,
                                      BOOL redraw);
    virtual std::int32_t InsertColumn(std::int32_t index, std::unique_ptr<TkListColumn> column, BOOL redraw);
    virtual BOOL MoveColumn(std::int32_t from, std::int32_t to, BOOL redraw);
    virtual BOOL GetColumn(std::int32_t column, LV_COLUMN* record) const;
    virtual BOOL SetColumn(std::int32_t column, const LV_COLUMN& record, BOOL redraw);
    virtual std::int32_t GetColumnLeft(std::int32_t column) const;
    virtual std::int32_t GetColumnRight(std::int32_t column) const;
    virtual BOOL SetColumnWidth(std::int32_t column, std::int32_t width);
    virtual std::int32_t GetColumnWidth(std::int32_t column) const;
    virtual BOOL SetColumnFormat(std::int32_t column, std::int32_t format);
    virtual std::int32_t GetColumnFormat(std::int32_t column) const;
    virtual BOOL SetColumnHeading(std::int32_t column, const char* heading);
    virtual std::string GetColumnHeading(std::int32_t column) const;
    virtual BOOL HasColumn(const char* heading) const;
    virtual std::int32_t GetColumnCount() const { return std::int32_t(columns_.size()); }
    virtual BOOL FindColumn(const char* heading, std::int32_t* column, std::int32_t* subItem) const;
    virtual TkListColumn* GetColumnRecord(std::int32_t column) const;

    virtual LPARAM GetRecordData(const TkListItem* record) const { return record->data; }
    virtual std::int32_t GetItemCount() const { return std::int32_t(items_.size()); }
    virtual std::int32_t GetSubItemCount() const { return subItemCount_; }
    virtual BOOL SetItem(LV_ITEM* record, BOOL redraw);
    virtual BOOL SetItem(std::int32_t item, std::int32_t subItem, UINT mask, const char* text,
                         std::int32_t image, UINT state, UINT stateMask, LPARAM data);
    virtual BOOL SetItemExtraState(const LV_ITEM& item, const TkListExtraState& extra);
    virtual BOOL GetItem(LV_ITEM* record, BOOL copyText, BOOL notify);
    virtual BOOL GetItemExtraState(const LV_ITEM& item, TkListExtraState* extra, BOOL notify);
    virtual BOOL SetItemText(std::int32_t item, std::int32_t subItem, const char* text);
    // The length copied, always terminated within `size`; 0 on failure.
    virtual std::int32_t GetItemText(std::int32_t item, std::int32_t subItem, char* buffer,
                                     std::int32_t size);
    virtual BOOL DeleteItem(const TkListItem* record);
    virtual BOOL DeleteItems(std::int32_t first, std::int32_t count);
    virtual BOOL DeleteAllItems();
    virtual std::int32_t GetSelectedCount() const { return std::int32_t(selection_.size()); }
    virtual BOOL GetItemRect(std::int32_t item, RECT* rect, std::int32_t code);
    virtual std::int32_t InsertItemRecord(std::int32_t index, std::unique_ptr<TkListItem> record);
    // Several records in one piece, as InsertItemRecord puts them one by one; the first index.
    virtual std::int32_t InsertItemRecords(std::int32_t index, std::vector<std::unique_ptr<TkListItem>> records);
    virtual std::int32_t InsertItem(UINT mask, std::int32_t item, const char* text, UINT state,
                                    UINT stateMask, std::int32_t image, LPARAM data);
    virtual std::int32_t InsertItem(std::int32_t item, const char* text, std::int32_t image);
    virtual std::int32_t InsertItem(std::int32_t item, const char* text);
    virtual std::int32_t InsertItem(LV_ITEM* record);
    virtual std::int32_t InsertItemAfter(const TkListItem* anchor, LV_ITEM* record);
    virtual std::int32_t InsertItemBefore(const TkListItem* anchor, LV_ITEM* record);
    virtual BOOL SelectFocusItem(std::int32_t item, BOOL select);
    virtual BOOL SetFocusItem(std::int32_t item);
    virtual void DeselectAllExcept(std::int32_t item);
    virtual void SelectRange(std::int32_t first, std::int32_t last, BOOL select);
    virtual std::int32_t GetFocusItem() const { return focus_; }
    virtual BOOL SetItemState(std::int32_t item, UINT state, UINT mask);
    virtual UINT GetItemState(std::int32_t item, UINT mask);
    virtual BOOL SetItemData(std::int32_t item, LPARAM data);
    virtual LPARAM GetItemData(std::int32_t item) const;
    virtual BOOL SelectItem(std::int32_t item, BOOL select);
    virtual UINT GetCallbackMask() const { return callbackMask_; }
    virtual void SetCallbackMask(UINT mask) { callbackMask_ = mask; }
    virtual UINT GetExtraCallbackMask() const { return extraCallbackMask_; }
    virtual void SetExtraCallbackMask(UINT mask) { extraCallbackMask_ = mask; }
    virtual BOOL IsCallbackItem(std::int32_t item) const;
    virtual std::int32_t GetNextItem(std::int32_t start, UINT flags);
    virtual void SetDropHighlight(std::int32_t item);
    virtual std::int32_t GetDropHighlight() const { return dropHighlight_; }
    virtual CImageList* GetImageList(std::int32_t type) const;
    // The list shown for the type (0 normal, 1 small, 2 state, 3 header). Unless the lists are
    // shared the list keeps a copy of its own; the previous list is answered when it was shared,
    // and a copy the list made is deleted (null).
    virtual CImageList* SetImageList(CImageList* list, std::int32_t type);
    virtual std::unique_ptr<CImageList> CopyImageList(const CImageList* list);

    // The item under a client point (a column on the header), with LVHT_* and LVHTX_* flags.
    virtual std::int32_t HitTest(std::int32_t x, std::int32_t y, UINT* flags, std::int32_t* column);
    virtual BOOL SetTopIndex(std::int32_t item);
    virtual void ScrollHorz(std::int32_t pixels);
    virtual void ScrollVert(std::int32_t items, BOOL convert);
    virtual BOOL EnsureVisible(std::int32_t item);
    virtual BOOL EnsureRangeVisible(std::int32_t first, std::int32_t last);
    // The edit over the item's cell in the column; null for no item, a running edit window or a
    // refusal by the owner.
    virtual TkListEdit* EditLabel(std::int32_t item, std::int32_t column);
    virtual TkListEdit* GetEditControl() { return edit_.get(); }
    TkListTip* GetTip() const { return tip_.get(); }
    virtual void CancelLabelEditTimer();
    virtual BOOL HasListStyle(DWORD bits) const { return (style_ & bits) == bits; }
    virtual BOOL HasListExStyle(DWORD bits) const { return (exStyle_ & bits) == bits; }
    virtual void GetListStyles(DWORD* style, DWORD* exStyle) const;
    virtual void SetListStyles(DWORD style, DWORD exStyle, BOOL redraw);
    virtual DWORD GetListStyle() const { return style_; }
    virtual DWORD GetListExStyle() const { return exStyle_; }
    virtual void SetListStyle(DWORD style, BOOL redraw);
    virtual void SetListExStyle(DWORD exStyle, BOOL redraw);
    virtual void ModifyListStyle(DWORD remove, DWORD add, BOOL redraw);
    virtual void ModifyListExStyle(DWORD remove, DWORD add, BOOL redraw);
    virtual void ModifyListStyles(DWORD remove, DWORD add, DWORD exRemove, DWORD exAdd, BOOL redraw);
    virtual void SetWrapLabels(BOOL wrap);
    virtual void SetLabelTips(BOOL on);
    virtual void SetMultiSelect(BOOL on);
    virtual BOOL GetLabelTips() const { return HasListExStyle(LVXS_LABELTIPS); }
    virtual BOOL IsMultiSelect() const { return !HasListStyle(LVS_SINGLESEL); }
    virtual void SetAutoUpdate(BOOL on) { autoUpdate_ = on; }
    virtual BOOL GetAutoUpdate() const { return autoUpdate_; }
    virtual void UpdateLayout();
    virtual std::int32_t GetContentWidth(BOOL measure);
    virtual std::int32_t GetRowCount() const { return GetItemCount(); }
    virtual void GetWindowClientRect(RECT* rect) const;
    virtual HWND CreateScrollBarCtrl(DWORD barStyle, UINT id);
    virtual BOOL AddSubItems(TkListItem* record, std::int32_t count);
    virtual void RemoveSubItems(TkListItem* record);
    virtual void PrepareItemRecord(TkListItem* record);
    virtual std::unique_ptr<TkListItem> NewItemRecord();

    virtual void FitLabelColumnIfNeeded();
    virtual void ShowScrollBarCtrl(std::int32_t bar, BOOL show, const SCROLLINFO* info);

    virtual void PrepareBkColor(TkListPaintContext* context);
    virtual void PrepareRowBkColor(TkListPaintContext* context);
    virtual void PrepareTextColors(TkListPaintContext* context);
    virtual void PrepareFont(TkListPaintContext* context);
    virtual HPEN GetGridPen();
    virtual HPEN GetColumnLinePen();
    virtual void MeasureRow(TkListPaintContext* context);
    virtual void MeasureItem(std::int32_t item, TkListPaintContext* context);
    virtual std::int32_t MeasureCell(TkListPaintContext* context);
    virtual void MeasureIcon(TkListPaintContext* context, RECT* rect);
    virtual void MeasureText(TkListPaintContext* context, RECT* rect);
    virtual void PositionScrollBars();
    virtual std::int32_t FitLabelColumn();
    virtual std::int32_t GetRowSpacing() const { return 0; }
    // Follows the pointer with a bar until the button comes up; the change of the column's width,
    // 0 when cancelled or when another window holds the mouse.
    virtual std::int32_t TrackColumnResize(std::int32_t x, std::int32_t y, std::int32_t column);
    virtual void Paint(HDC dc);
    virtual BOOL PrepareCell(TkListPaintContext* context);
    virtual std::unique_ptr<TkListPaintContext> NewPaintContext(HDC dc);
    virtual void PaintHeader(TkListPaintContext* context);
    virtual void PaintHeaderButton(std::int32_t column, BOOL pressed);
    // Draws the column's header icon beside its heading and narrows the heading's rectangle.
    virtual void PaintHeaderIcon(HDC dc, const TkListColumn& column, RECT* text, UINT* format);
    virtual std::unique_ptr<CImageList> CreateHeaderDragImage(std::int32_t column);
    // The mark where a dragged column would go: before column `position` (after the last for
    // the column count).
    virtual void PaintColumnDropMark(std::int32_t position);
    virtual void OnColumnMoved(std::int32_t /*from*/, std::int32_t /*to*/) {}
    virtual void PaintItems(TkListPaintContext* context);
    virtual void PaintRow(TkListPaintContext* context);
    virtual void PaintCell(TkListPaintContext* context);
    virtual void PaintCellIcon(TkListPaintContext* context);
    virtual void PaintCellText(TkListPaintContext* context);
    virtual void PaintRowLine(HDC dc, std::int32_t item, const RECT& row);
    virtual void PaintColumnLines(HDC dc, std::int32_t item, const RECT& row);
    virtual void UpdateVertScrollBar(std::int32_t count);
    virtual void UpdateHorzScrollBar(std::int32_t width);

    virtual void OnKeyLineUp(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                             UINT flags);
    virtual void OnKeyLineDown(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                               UINT flags);
    virtual void OnKeyEditLabel(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                                UINT flags);
    virtual void OnKeyReturn(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                             UINT flags);
    virtual void OnKeyHome(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                           UINT flags);
    virtual void OnKeyEnd(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                          UINT flags);
    virtual void OnKeyLeft(std::int32_t, std::int32_t, BOOL, BOOL, UINT, UINT) {}
    virtual void OnKeyBack(std::int32_t, std::int32_t, BOOL, BOOL, UINT, UINT) {}
    virtual void OnKeyRight(std::int32_t, std::int32_t, BOOL, BOOL, UINT, UINT) {}
    virtual void OnKeyMultiply(std::int32_t, std::int32_t, BOOL, BOOL, UINT, UINT) {}
    virtual void OnKeyPageUp(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                             UINT flags);
    virtual void OnKeyPageDown(std::int32_t focus, std::int32_t subItem, BOOL shift, BOOL ctrl, UINT repeat,
                               UINT flags);

    // The owner's answer to the WM_NOTIFY, also kept as the last result.
    virtual LRESULT NotifyParent(UINT code);
    // TRUE when the owner refused the edit.
    virtual BOOL NotifyBeginLabelEdit(std::int32_t item, std::int32_t subItem);
    // TRUE when the owner accepted the text, which it may have changed in `text`.
    virtual BOOL NotifyEndLabelEdit(std::int32_t item, std::int32_t subItem, char* text, BOOL commit);
    virtual void OnLabelEdited(std::int32_t /*item*/, std::int32_t /*subItem*/) {}
    virtual void NotifyBeginDrag(std::int32_t /*item*/, std::int32_t /*x*/, std::int32_t /*y*/) {}
    virtual void NotifyBeginRightDrag(std::int32_t /*item*/, std::int32_t /*x*/, std::int32_t /*y*/) {}
    virtual void NotifyDeleteItem(std::int32_t item);
    virtual void NotifySetDispInfo(const LV_ITEM& parts) { (void)parts; }
    virtual void NotifyGetDispInfo(LV_ITEM* record);
    virtual void NotifyGetExtraState(TkListExtraState* /*extra*/) {}
    virtual void OnSelectionChanged(std::int32_t /*item*/, std::int32_t /*previousFocus*/, BOOL /*byMouse*/) {
    }
    // Nonzero vetoes the change.
    virtual BOOL OnSelectionChanging(std::int32_t /*item*/, std::int32_t /*previousFocus*/,
                                     BOOL /*byMouse*/) {
        return FALSE;
    }
    virtual void NotifyInsertItem(std::int32_t item);
    virtual void NotifyKeyDown(UINT key);
    virtual void NotifyColumnClick(std::int32_t column);
    // FALSE when the change was vetoed. Keys are MK_* bits; the keyboard passes hit flags 70.
    virtual BOOL SelectByClick(std::int32_t item, UINT hitFlags, UINT keys, BOOL byMouse);
    virtual void AfterSelect(std::int32_t /*item*/, BOOL /*byMouse*/) {}
    virtual CWnd* GetNotifyTarget() const;
    virtual void SplitCreateStyles(CREATESTRUCT& cs);
    virtual BOOL ClickSelects(POINT point, std::int32_t item, UINT flags, BOOL* armDrag, BOOL* select);

    // TkListClient
    HWND GetOwnerHwnd() const override { return m_hWnd; }
    BOOL IsWrapLabels() const override { return !HasListStyle(LVS_NOLABELWRAP); }
    BOOL EndLabelEdit(BOOL commit) override;
    std::int32_t GetColumnSubItem(std::int32_t column) const override;
    void GetScrollOffsets(POINT* offsets) const override { *offsets = POINT{horzOffset_, 0}; }
    void GetItemArea(RECT* area) const override;
    BOOL GetSubItemRect(std::int32_t item, std::int32_t column, RECT* rect, std::int32_t code) override;
    std::string GetItemText(std::int32_t item, std::int32_t subItem) override;
    void ClientToScreenRect(RECT* rect) const override;
    HWND CaptureMouse(BOOL capture) override;
    BOOL IsItemSelected(std::int32_t item) const override;
    COLORREF GetSelTextColor() const override { return colors_.selText; }
    COLORREF GetSelBkColor() const override { return colors_.selBk; }
    COLORREF GetTipTextColor() const override { return colors_.tipText; }
    COLORREF GetTipBkColor() const override { return colors_.tipBk; }
    HFONT GetItemFont() const override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    LRESULT LastNotifyResult() const { return lastNotifyResult_; }
    TkListItem* GetItemRecord(std::int32_t item) const {
        return IsItem(item) ? items_[std::size_t(item)].get() : nullptr;
    }

protected:
    struct Colors {
        COLORREF background = 0;
        COLORREF text = 0;
        COLORREF textBk = 0;
        COLORREF selText = 0;
        COLORREF selBk = 0;
        COLORREF disabledText = 0;
        COLORREF rowBk = 0;
        COLORREF focusRowBk = 0;
        COLORREF tipBk = 0;
        COLORREF tipText = 0;
    };

    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnSysColorChange(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM) { return 1; }
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnVScroll(WPARAM, LPARAM);
    LRESULT OnHScroll(WPARAM, LPARAM);
    LRESULT OnMouseWheel(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnEnable(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM) { return 0x87; }
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnRButtonDown(WPARAM, LPARAM);
    LRESULT OnRButtonUp(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnSysKeyDown(WPARAM, LPARAM);
    LRESULT OnChar(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);

    void SelectByKey(std::int32_t item, BOOL shift, BOOL ctrl);
    void ButtonDown(LPARAM point, WPARAM keys);
    // Takes one character into the running search, or starts one.
    void TypeAhead(char32_t character);
    void EndTypeAhead();
    // Writes what the edit holds into the edited item and fits the edit to the label.
    void FollowEditText();
    // Drops a running edit without writing anything (its item is going away).
    void DropLabelEdit();

    // The row's height with the spacing above it, measured first when it has to be.
    std::int32_t RowExtent(std::int32_t item);
    std::int32_t AreaHeight() const;
    bool IsReportView() const { return (style_ & LVS_TYPEMASK) == LVS_REPORT; }
    bool IsHeaderShown() const { return IsReportView() && !HasListStyle(LVS_NOCOLUMNHEADER); }
    bool HasFocus() const { return m_hWnd && GetFocus() == m_hWnd; }
    bool IsEnabled() const { return !m_hWnd || IsWindowEnabled(m_hWnd); }
    HWND ScrollBar(std::int32_t bar) const { return bar == SB_VERT ? vertBar_ : horzBar_; }
    void DrawHeaderButton(HDC dc, std::int32_t column, const RECT& button, BOOL pressed);
    // The button that runs from the last column's right edge past the client's.
    RECT HeaderFillerRect() const;
    void PaintHeaderFiller();
    void DrawColumnDropMark(HDC dc, std::int32_t position);
    // Resizes by the divider right of `column` from the pressed point.
    void ResizeColumn(std::int32_t column, POINT point);
    void StartColumnDrag(POINT point);
    void FollowColumnDrag(POINT point);
    void EndColumnDrag();
    // Where a column dropped at the point would go, -1 for nowhere.
    std::int32_t ColumnDropPosition(POINT point) const;
    void ShowTip(UINT flags, std::int32_t item, std::int32_t column, POINT point);
    LRESULT OnCancelMode(WPARAM, LPARAM);

    void LoadSysColors();
    bool IsItem(std::int32_t item) const { return item >= 0 && item < GetItemCount(); }
    bool IsColumn(std::int32_t column) const { return column >= 0 && column < GetColumnCount(); }
    // The text an LV_ITEM addresses, null when its sub-item names no slot.
    TkListText* AddressedText(TkListItem& item, std::int32_t subItem) const;
    // Position of the first selected index not below `item`, and whether it is `item`.
    std::pair<std::size_t, bool> FindSelected(std::int32_t item) const;
    bool AddSelected(std::int32_t item);
    bool RemoveSelected(std::int32_t item);
    LRESULT SendNotify(NMHDR* header);
    std::int32_t InsertPrepared(std::int32_t index, LV_ITEM* record);

    std::vector<std::unique_ptr<TkListItem>> items_;
    std::vector<std::unique_ptr<TkListColumn>> columns_;
    std::vector<std::int32_t> selection_;
    std::int32_t focus_ = -1;
    std::int32_t dropHighlight_ = -1;
    std::int32_t anchor_ = -1;
    std::int32_t topIndex_ = 0;
    std::int32_t subItemCount_ = 0;
    std::int32_t horzOffset_ = 0;
    std::int32_t headerHeight_ = 20;
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
    Colors colors_;
    BOOL useSysColors_ = FALSE;
    HFONT itemFont_ = 0;
    HFONT headerFont_ = 0;
    CWnd* notifyWnd_ = nullptr;
    BOOL autoUpdate_ = FALSE;
    UINT callbackMask_ = 0;
    UINT extraCallbackMask_ = 0;
    std::array<char, TextBufferSize> textBuffer_{};
    HCURSOR resizeCursor_ = 0;
    HWND horzBar_ = 0;
    HWND vertBar_ = 0;
    // which bars show: bit SB_HORZ, bit SB_VERT
    UINT barsShown_ = 0;
    std::int32_t wheelDelta_ = 0;
    std::int32_t clickedColumn_ = 0;
    BOOL selectionVeto_ = FALSE;
    bool dragArmed_ = false;
    bool itemDragStarted_ = false;
    POINT downPoint_;
    std::int32_t pressedColumn_ = -1;
    bool onDivider_ = false;
    std::uintptr_t autoScrollTimer_ = 0;
    std::uintptr_t typeAheadTimer_ = 0;
    std::string search_;
    bool searchActive_ = false;
    bool searchKeySeen_ = false;
    bool searchFailed_ = false;
    bool columnDragStarted_ = false;
    std::int32_t dropPosition_ = -1;
    std::unique_ptr<CImageList> columnDragImage_;
    bool columnDragImageShown_ = false;
    std::unique_ptr<TkListEdit> edit_;
    std::unique_ptr<TkListTip> tip_;
    std::int32_t editItem_ = -1;
    std::int32_t editSubItem_ = 0;
    std::int32_t editCandidate_ = -1;
    std::string textBeforeEdit_;
    bool endingEdit_ = false;
    std::uintptr_t editTimer_ = 0;
    // Cleared when the list goes, so a handler that deleted it is noticed.
    std::array<CImageList*, 4> imageLists_{};
    std::array<std::unique_ptr<CImageList>, 4> ownedImageLists_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool printing_ = false;
    LRESULT lastNotifyResult_ = 0;
};

// Puts the list in place of the dialog's child `id` the first time the dialog's fields are
// exchanged; the exchange fails when the list cannot be made.
void DDX_TkList(CDataExchange* exchange, UINT id, TkListBaseC& list);

} // namespace vq
