#pragma once

#include "platform/classlib/OleDragDrop.h"
#include "platform/core/Guid.h"
#include "toolkit/lists/TkListCtrl.h"

#include <array>
#include <memory>

namespace vq {

// Notifications of a shortcut list besides NM_CLICK: an icon was clicked (the record is followed
// by the item's index), and an icon was dropped into the list.
inline constexpr UINT TKSL_ITEMCLICKED = 1101;
inline constexpr UINT TKSL_ITEMDROPPED = 1100;

// What TKSL_ITEMCLICKED carries.
struct TkShortcutListClick {
    NMHDR hdr;
    std::int32_t item = -1;
};

// A column of large icons with their labels under them (or small ones with labels beside them)
// that light up under the mouse like flat buttons. A click on an icon is reported to the owner;
// two drawn arrows scroll the column; icons are dragged to another place, or into another such
// list of the program. Nothing is selected by clicks.
class TkShortcutListCtrl : public TkListCtrl {
    VQ_DECLARE_RUNTIME_CLASS(TkShortcutListCtrl)
    VQ_DECLARE_MESSAGE_MAP()
public:
    // Looks of an item, in its extra state.
    static constexpr UINT LookMask = 0xC00;
    static constexpr UINT Hot = 0x400;
    static constexpr UINT Pressed = 0x800;
    // Hit-test answers for the arrows.
    static constexpr std::int32_t UpButtonHit = -10;
    static constexpr std::int32_t DownButtonHit = -11;
    // Where an insertion mark goes: before item 0, after the last item, else before that item.
    static constexpr std::int32_t MarkFirst = -1;
    static constexpr std::int32_t MarkLast = -2;

    // An arrow button drawn by the list itself.
    class ScrollButton {
    public:
        explicit ScrollButton(int direction) : m_direction(direction) {}
        virtual ~ScrollButton() = default;
        virtual void Draw(HDC dc);
        void SetRect(const RECT& rect) { m_rect = rect; }
        const RECT& GetRect() const { return m_rect; }
        void SetState(UINT remove, UINT add) { m_state = add | (m_state & ~remove); }
        bool IsPressed() const { return m_state & 1; }

        RECT m_rect{};
        UINT m_state = 0;
        // 1 up, 0 down.
        int m_direction;
    };

    // Takes icons dragged from a shortcut list of this program.
    class ListDropTarget : public COleDropTarget {
    public:
        DWORD OnDragEnter(CWnd* window, COleDataObject* data, DWORD keys, POINT point) override;
        DWORD OnDragOver(CWnd* window, COleDataObject* data, DWORD keys, POINT point) override;
        void OnDragLeave(CWnd* window) override;
        BOOL OnDrop(CWnd* window, COleDataObject* data, DWORD effect, POINT point) override;

        TkShortcutListCtrl* m_pList = nullptr;
        RECT m_markRect{};
        Guid m_source;
    };

    TkShortcutListCtrl();
    ~TkShortcutListCtrl() override;

    std::int32_t GetRowSpacing() const override { return 12; }
    std::int32_t HitTest(std::int32_t x, std::int32_t y, UINT* flags, std::int32_t* column) override;
    void PositionScrollBars() override;
    void PaintItems(TkListPaintContext* context) override;
    void PaintCellIcon(TkListPaintContext* context) override;
    void PaintCellText(TkListPaintContext* context) override;
    void SetTextColor(COLORREF colour) override;
    BOOL DeleteItem(const TkListItem* record) override;
    BOOL DeleteItems(std::int32_t first, std::int32_t count) override;
    BOOL DeleteAllItems() override;

    virtual void InvalidateItemRows(std::int32_t item, UINT ignored, BOOL erase, BOOL toBottom);
    virtual void PaintInsertMark(HDC dc, const RECT& rect, std::int32_t code);
    virtual void PaintScrollButtons(TkListPaintContext* context, const SCROLLINFO& info);
    virtual BOOL PrepareDragData(COleDataSource* source, LV_ITEM* item);
    // Sees the view menu before it shows; the program's lists add their own items.
    virtual void PrepareContextMenu(HMENU /*menu*/) {}
    virtual std::unique_ptr<ListDropTarget> NewDropTarget();
    virtual std::unique_ptr<ScrollButton> NewUpButton();
    virtual std::unique_ptr<ScrollButton> NewDownButton();
    virtual void ScrollDown();
    virtual void ScrollUp();
    virtual std::array<POINT, 3> LeftArrowPoints(const RECT& rect, std::int32_t code);
    virtual std::array<POINT, 3> RightArrowPoints(const RECT& rect, std::int32_t code);
    virtual UINT GetHotState(std::int32_t item);
    virtual void SetHotState(std::int32_t item, UINT state);
    virtual LRESULT NotifyParentItem(UINT code, std::int32_t item);

    std::int32_t GetHotItem() const { return hotItem_; }
    ScrollButton* GetUpButton() const { return upButton_.get(); }
    ScrollButton* GetDownButton() const { return downButton_.get(); }
    // The format drags between shortcut lists travel under; 0 when it could not be registered.
    static UINT DragFormat();
    // This program's identity, which a dragged icon carries so no other program takes it.
    static const Guid& ProcessIdentity();

protected:
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM keys, LPARAM point);
    LRESULT OnLButtonDown(WPARAM keys, LPARAM point);
    LRESULT OnLButtonUp(WPARAM keys, LPARAM point);
    LRESULT OnLButtonDblClk(WPARAM keys, LPARAM point);
    LRESULT OnMButtonDown(WPARAM, LPARAM);
    LRESULT OnMouseWheel(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM id, LPARAM);
    LRESULT OnContextMenu(WPARAM, LPARAM point);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    void OnLargeIcons();
    void OnSmallIcons();

    // Every item flat; the window is repainted when any item was not.
    void FlattenAll();
    void StartDrag(std::int32_t item);
    // The gap an icon dropped at the point would go into: the item above it (-1 for none), the
    // gap's rectangle and the mark's code; false when the point lies on an item.
    bool GapAt(POINT point, std::int32_t* above, RECT* gap, std::int32_t* code);
    BOOL DropRecord(const std::string& block, POINT point);

    std::int32_t hotItem_ = -1;
    std::uintptr_t hoverTimer_ = 0;
    std::int32_t lastWheelDelta_ = 0;
    std::unique_ptr<ListDropTarget> dropTarget_;
    std::unique_ptr<ScrollButton> upButton_;
    std::unique_ptr<ScrollButton> downButton_;
    POINT pressPoint_{-1, -1};
    // The dragged label's text, which the drag's record points at while the drag lasts.
    std::string dragText_;
};

} // namespace vq
