#include "toolkit/lists/TkShortcutListCtrl.h"

#include "platform/gui/Clipboard.h"
#include "platform/gui/FrameControl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Menu.h"
#include "platform/gui/Messages.h"
#include "platform/gui/ScrollBar.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/lists/TkListResources.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkShortcutListCtrl, TkListCtrl)

VQ_BEGIN_MESSAGE_MAP(TkShortcutListCtrl, TkListCtrl)
VQ_ON_MESSAGE(WM_CREATE, OnCreate)
VQ_ON_MESSAGE(WM_DESTROY, OnDestroy)
VQ_ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
VQ_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
VQ_ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
VQ_ON_MESSAGE(WM_MBUTTONDOWN, OnMButtonDown)
VQ_ON_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
VQ_ON_MESSAGE(WM_TIMER, OnTimer)
VQ_ON_MESSAGE(WM_CONTEXTMENU, OnContextMenu)
VQ_ON_MESSAGE(WM_KILLFOCUS, OnKillFocus)
VQ_ON_COMMAND(ID_TK_LARGE_ICON, OnLargeIcons)
VQ_ON_COMMAND(ID_TK_SMALL_ICON, OnSmallIcons)
VQ_END_MESSAGE_MAP()

namespace {

constexpr std::uintptr_t HoverTimer = 0xF0F0;
constexpr UINT HoverPeriod = 250;
// A press moved further than this either way becomes a drag.
constexpr std::int32_t DragSquare = 5;
constexpr UINT DragItemMask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
constexpr UINT IconTextFormat = DT_NOPREFIX | DT_WORDBREAK | DT_VCENTER;
constexpr std::int32_t ArrowLength = 8;
constexpr std::size_t DragBlockSize = 16 + sizeof(LV_ITEM);

POINT PointOf(LPARAM lParam) {
    return POINT{std::int16_t(LOWORD(std::uintptr_t(lParam))), std::int16_t(HIWORD(std::uintptr_t(lParam)))};
}

bool Contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

bool OnIcon(UINT flags) {
    return flags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// A one-pixel frame: top and left in one colour, bottom and right (with both far corners) in the other.
void Frame3D(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    FillSolid(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    FillSolid(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    FillSolid(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    FillSolid(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

// The black drawing objects of insertion marks, shared by every list.
struct MarkObjects {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
};

MarkObjects& Marks() {
    static MarkObjects objects;
    return objects;
}

} // namespace

// ---- process-wide values

UINT TkShortcutListCtrl::DragFormat() {
    static const UINT format = RegisterClipboardFormat("TK_CF_LISTCTRL");
    return format;
}

const Guid& TkShortcutListCtrl::ProcessIdentity() {
    static const Guid identity = NewGuid();
    return identity;
}

// ---- buttons

void TkShortcutListCtrl::ScrollButton::Draw(HDC dc) {
    RECT r = m_rect;
    DrawFrameControl(dc, &r, DFC_SCROLL,
                     (m_direction ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) |
                         (IsPressed() ? UINT(DFCS_PUSHED) : 0u));
}

std::unique_ptr<TkShortcutListCtrl::ScrollButton> TkShortcutListCtrl::NewUpButton() {
    return std::make_unique<ScrollButton>(1);
}

std::unique_ptr<TkShortcutListCtrl::ScrollButton> TkShortcutListCtrl::NewDownButton() {
    return std::make_unique<ScrollButton>(0);
}

std::unique_ptr<TkShortcutListCtrl::ListDropTarget> TkShortcutListCtrl::NewDropTarget() {
    return std::make_unique<ListDropTarget>();
}

// ---- creation

TkShortcutListCtrl::TkShortcutListCtrl() = default;

TkShortcutListCtrl::~TkShortcutListCtrl() {
    if (dropTarget_) dropTarget_->Revoke();
}

LRESULT TkShortcutListCtrl::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (TkListBaseC::OnCreate(wParam, lParam) == -1) return -1;
    dropTarget_ = NewDropTarget();
    upButton_ = NewUpButton();
    downButton_ = NewDownButton();
    const COLORREF ground = GetSysColor(COLOR_INACTIVECAPTION);
    colors_.background = colors_.textBk = colors_.selBk = ground;
    colors_.text = colors_.selText = RGB(255, 255, 255);
    if (DragFormat()) {
        dropTarget_->m_pList = this;
        dropTarget_->Register(this);
        ProcessIdentity();
    }
    ModifyListStyle(0, LVS_SHAREIMAGELISTS | LVS_NOSCROLL, FALSE);
    ModifyListExStyle(0, LVXS_FITLABELCOLUMN, FALSE);
    return 0;
}

LRESULT TkShortcutListCtrl::OnDestroy(WPARAM wParam, LPARAM lParam) {
    if (dropTarget_) {
        dropTarget_->m_pList = nullptr;
        dropTarget_->Revoke();
    }
    if (hoverTimer_) KillTimer(m_hWnd, HoverTimer);
    hoverTimer_ = 0;
    return TkListBaseC::OnDestroy(wParam, lParam);
}

void TkShortcutListCtrl::SetTextColor(COLORREF colour) {
    colors_.text = colour;
    colors_.selText = colour;
}

// ---- items and their looks

BOOL TkShortcutListCtrl::DeleteItem(const TkListItem* record) {
    hotItem_ = -1;
    return TkListBaseC::DeleteItem(record);
}

BOOL TkShortcutListCtrl::DeleteItems(std::int32_t first, std::int32_t count) {
    hotItem_ = -1;
    return TkListBaseC::DeleteItems(first, count);
}

BOOL TkShortcutListCtrl::DeleteAllItems() {
    hotItem_ = -1;
    return TkListBaseC::DeleteAllItems();
}

UINT TkShortcutListCtrl::GetHotState(std::int32_t item) {
    const TkListItem* record = GetItemRecord(item);
    return record ? record->extraState & LookMask : 0;
}

void TkShortcutListCtrl::SetHotState(std::int32_t item, UINT state) {
    TkListItem* record = GetItemRecord(item);
    if (!record || (record->extraState & LookMask) == (state & LookMask)) return;
    record->extraState = (record->extraState & ~LookMask) | (state & LookMask);
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void TkShortcutListCtrl::FlattenAll() {
    bool changed = false;
    for (auto& item : items_) {
        changed = changed || (item->extraState & LookMask);
        item->extraState &= ~LookMask;
    }
    if (changed && m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void TkShortcutListCtrl::InvalidateItemRows(std::int32_t item, UINT, BOOL erase, BOOL toBottom) {
    InvalidateItem(item, FALSE, erase, toBottom, FALSE);
}

LRESULT TkShortcutListCtrl::NotifyParentItem(UINT code, std::int32_t item) {
    TkShortcutListClick record;
    record.hdr.code = code;
    record.item = item;
    return SendNotify(&record.hdr);
}

// ---- geometry

std::int32_t TkShortcutListCtrl::HitTest(std::int32_t x, std::int32_t y, UINT* flagsOut,
                                         std::int32_t* column) {
    const POINT p{x, y};
    UINT flags = 0;
    std::int32_t result = -1;
    if (upButton_ && Contains(upButton_->GetRect(), p)) {
        result = UpButtonHit;
    } else if (downButton_ && Contains(downButton_->GetRect(), p)) {
        result = DownButtonHit;
    } else if ((style_ & LVS_TYPEMASK) != LVS_ICON) {
        return TkListBaseC::HitTest(x, y, flagsOut, column);
    } else {
        RECT client, area;
        GetWindowClientRect(&client);
        GetItemArea(&area);
        if (x >= client.right)
            flags = LVHT_TORIGHT;
        else if (x < client.left)
            flags = LVHT_TOLEFT;
        else if (y >= client.bottom)
            flags = LVHT_BELOW;
        else if (y < client.top)
            flags = LVHT_ABOVE;
        else {
            const std::int32_t mid = area.left + area.Width() / 2;
            std::int32_t top = area.top;
            for (std::int32_t item = topIndex_; item < GetItemCount() && top < area.bottom; ++item) {
                const std::int32_t rowTop = top + GetRowSpacing();
                top += RowExtent(item);
                if (y < rowTop || y >= top) continue;
                const TkListItem& record = *items_[std::size_t(item)];
                const RECT icon{mid - 16, rowTop + record.iconRect.top, mid - 16 + record.iconRect.right,
                                rowTop + record.iconRect.bottom};
                const std::int32_t labelLeft = mid - record.labelRect.Width() / 2;
                const RECT label{labelLeft, icon.bottom, labelLeft + record.labelRect.right,
                                 icon.bottom + record.labelRect.Height()};
                if (Contains(label, p))
                    flags = LVHT_ONITEMLABEL;
                else if (Contains(icon, p))
                    flags = LVHT_ONITEMICON;
                else if (x < label.left)
                    flags = LVHTX_LEFTOFLABEL;
                else if (x >= label.right)
                    flags = LVHTX_RIGHTOFLABEL;
                else
                    flags = LVHT_NOWHERE;
                result = item;
                break;
            }
        }
    }
    if (!flags) flags = LVHT_NOWHERE;
    if (flagsOut) *flagsOut = flags;
    if (column) *column = 0;
    return result;
}

void TkShortcutListCtrl::PositionScrollBars() {
    TkListBaseC::PositionScrollBars();
    if (!upButton_ || !downButton_) return;
    RECT area;
    GetItemArea(&area);
    const std::int32_t width = GetSystemMetrics(SM_CXVSCROLL), height = GetSystemMetrics(SM_CYVSCROLL);
    upButton_->SetRect(RECT{area.right - width - 5, area.top + 5, area.right - 5, area.top + 5 + height});
    downButton_->SetRect(
        RECT{area.right - width - 5, area.bottom - height - 5, area.right - 5, area.bottom - 5});
}

// ---- painting

void TkShortcutListCtrl::PaintItems(TkListPaintContext* context) {
    TkListBaseC::PaintItems(context);
    SCROLLINFO info;
    info.fMask = SIF_PAGE | SIF_POS;
    info.nPos = topIndex_;
    info.nPage = UINT(std::max(GetLastFullyVisible(TRUE) - topIndex_ + 1, 0));
    PaintScrollButtons(context, info);
}

void TkShortcutListCtrl::PaintScrollButtons(TkListPaintContext* context, const SCROLLINFO& info) {
    if (!GetItemCount() || !upButton_ || !downButton_) return;
    if (info.nPos > 0 && RectVisible(context->dc, &upButton_->GetRect())) upButton_->Draw(context->dc);
    if (GetLastFullyVisible(TRUE) != GetItemCount() - 1 && RectVisible(context->dc, &downButton_->GetRect()))
        downButton_->Draw(context->dc);
}

void TkShortcutListCtrl::PaintCellIcon(TkListPaintContext* context) {
    const bool iconView = context->view == LVS_ICON;
    const CImageList* list = GetImageList(iconView ? LVSIL_NORMAL : LVSIL_SMALL);
    if (!list) return;
    int width = 0, height = 0;
    ImageList_GetIconSize(list->GetSafeHandle(), &width, &height);
    const TkListItem& record = *context->record;
    const RECT& cell = context->cell;
    const POINT at = iconView
                         ? POINT{cell.left + cell.Width() / 2 - width / 2, cell.top + record.iconRect.top}
                         : POINT{cell.left + record.iconRect.left, cell.top + record.iconRect.top};
    list->Draw(context->dc, record.image, at, ILD_NORMAL);
    const RECT frame{at.x - 1, at.y - 1, at.x + width + 2, at.y + height + 2};
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = RGB(0, 0, 0);
    switch (record.extraState & LookMask) {
    case Hot:
        Frame3D(context->dc, frame, light, dark);
        break;
    case Pressed:
        Frame3D(context->dc, frame, dark, light);
        break;
    default:
        Frame3D(context->dc, frame, context->bkColor, context->bkColor);
        break;
    }
}

void TkShortcutListCtrl::PaintCellText(TkListPaintContext* context) {
    const RECT& cell = context->cell;
    const TkListItem& record = *context->record;
    const bool iconView = context->view == LVS_ICON;
    const RECT& label = context->subItem ? context->subItem->labelRect : record.labelRect;
    RECT text{cell.left + 6, cell.top, cell.right - 5, cell.bottom};
    if (context->item.iSubItem == 0 && !record.iconRect.IsEmpty()) {
        if (iconView) {
            text = RECT{cell.left, cell.top + label.top, cell.right, cell.bottom};
        } else {
            text.top += 3;
            text.left = cell.left + record.iconRect.right + 4;
            text.right = text.left + label.Width();
        }
    }
    const char* string =
        context->item.pszText == LPSTR_TEXTCALLBACK || !context->item.pszText ? "" : context->item.pszText;
    std::int32_t length = std::int32_t(std::strlen(string));
    UINT format = IconTextFormat;
    if (iconView) {
        format |= DT_CENTER;
    } else if (context->columnRecord) {
        const std::int32_t justify = context->columnRecord->format & LVCFMT_JUSTIFYMASK;
        if (justify == LVCFMT_RIGHT) format |= DT_RIGHT;
        if (justify == LVCFMT_CENTER) format |= DT_CENTER;
    }
    if (HasListStyle(LVS_NOLABELWRAP)) {
        if (const char* feed = std::strchr(string, '\n')) length = std::int32_t(feed - string);
        format |= DT_SINGLELINE | DT_END_ELLIPSIS;
    }
    SetBkMode(context->dc, TRANSPARENT);
    ::vq::SetTextColor(context->dc, context->textColor);
    HGDIOBJ old = SelectObject(context->dc, context->font);
    DrawText(context->dc, string, length, &text, format);
    SelectObject(context->dc, old);
}

std::array<POINT, 3> TkShortcutListCtrl::LeftArrowPoints(const RECT& rect, std::int32_t code) {
    const std::int32_t x = rect.left, y = (rect.top + rect.bottom) / 2;
    if (code == MarkFirst) return {POINT{x, y}, POINT{x + ArrowLength, y}, POINT{x, y + ArrowLength}};
    if (code == MarkLast) return {POINT{x, y}, POINT{x + ArrowLength, y}, POINT{x, y - ArrowLength}};
    return {POINT{x, y - 4}, POINT{x + ArrowLength, y}, POINT{x, y + 4}};
}

std::array<POINT, 3> TkShortcutListCtrl::RightArrowPoints(const RECT& rect, std::int32_t code) {
    const std::int32_t x = rect.right - 1, y = (rect.top + rect.bottom) / 2;
    if (code == MarkFirst) return {POINT{x, y}, POINT{x - ArrowLength, y}, POINT{x, y + ArrowLength}};
    if (code == MarkLast) return {POINT{x, y}, POINT{x - ArrowLength, y}, POINT{x, y - ArrowLength}};
    return {POINT{x, y - 4}, POINT{x - ArrowLength, y}, POINT{x, y + 4}};
}

void TkShortcutListCtrl::PaintInsertMark(HDC dc, const RECT& rect, std::int32_t code) {
    const std::int32_t y = (rect.top + rect.bottom) / 2;
    HGDIOBJ oldPen = SelectObject(dc, Marks().pen);
    HGDIOBJ oldBrush = SelectObject(dc, Marks().brush);
    MoveToEx(dc, rect.left, y, nullptr);
    LineTo(dc, rect.right, y);
    const auto left = LeftArrowPoints(rect, code), right = RightArrowPoints(rect, code);
    Polygon(dc, left.data(), int(left.size()));
    Polygon(dc, right.data(), int(right.size()));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

// ---- mouse

LRESULT TkShortcutListCtrl::OnMouseMove(WPARAM keys, LPARAM lParam) {
    const POINT point = PointOf(lParam);
    UINT flags = 0;
    const std::int32_t item = HitTest(point.x, point.y, &flags, nullptr);
    if (item < 0 || !OnIcon(flags)) FlattenAll();
    if (item < 0) {
        if (hotItem_ >= 0) SetHotState(hotItem_, 0);
        hotItem_ = -1;
        return 0;
    }
    if ((keys & MK_LBUTTON) && OnIcon(flags) && pressPoint_.x != -1 &&
        (std::abs(point.x - pressPoint_.x) > DragSquare || std::abs(point.y - pressPoint_.y) > DragSquare)) {
        StartDrag(item);
        return 0;
    }
    SetHotState(item, OnIcon(flags) ? Hot : 0);
    if (hotItem_ >= 0 && hotItem_ != item) SetHotState(hotItem_, 0);
    hotItem_ = item;
    hoverTimer_ = SetTimer(m_hWnd, HoverTimer, HoverPeriod, nullptr);
    return 0;
}

LRESULT TkShortcutListCtrl::OnLButtonDown(WPARAM, LPARAM lParam) {
    const POINT point = PointOf(lParam);
    pressPoint_ = point;
    UINT flags = 0;
    const std::int32_t item = HitTest(point.x, point.y, &flags, nullptr);
    if (item == UpButtonHit || item == DownButtonHit) {
        ScrollButton& button = item == UpButtonHit ? *upButton_ : *downButton_;
        button.SetState(0, 1);
        InvalidateRect(m_hWnd, &button.GetRect(), FALSE);
        if (item == UpButtonHit)
            ScrollUp();
        else
            ScrollDown();
        return 0;
    }
    if (item < 0) return 0;
    if (GetHotState(item) == Hot) SetHotState(item, 0);
    if (OnIcon(flags)) SetHotState(item, Pressed);
    return 0;
}

LRESULT TkShortcutListCtrl::OnLButtonUp(WPARAM, LPARAM lParam) {
    pressPoint_ = POINT{-1, -1};
    for (ScrollButton* button : {upButton_.get(), downButton_.get()}) {
        if (!button || !button->IsPressed()) continue;
        button->SetState(1, 0);
        InvalidateRect(m_hWnd, &button->GetRect(), FALSE);
    }
    const POINT point = PointOf(lParam);
    UINT flags = 0;
    const std::int32_t item = HitTest(point.x, point.y, &flags, nullptr);
    if (item < 0) return 0;
    if (GetHotState(item) == Pressed) SetHotState(item, 0);
    if (OnIcon(flags)) {
        SetHotState(item, Hot);
        hotItem_ = item;
    }
    const std::shared_ptr<bool> alive = alive_;
    NotifyParent(NM_CLICK);
    if (*alive && OnIcon(flags)) NotifyParentItem(TKSL_ITEMCLICKED, item);
    return 0;
}

LRESULT TkShortcutListCtrl::OnLButtonDblClk(WPARAM keys, LPARAM lParam) {
    return (keys & MK_LBUTTON) ? OnLButtonDown(keys, lParam) : 0;
}

LRESULT TkShortcutListCtrl::OnMButtonDown(WPARAM, LPARAM) {
    SetFocus(m_hWnd);
    return 0;
}

// One line a message, whatever the wheel turned.
LRESULT TkShortcutListCtrl::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    const POINT screen = PointOf(lParam);
    RECT window;
    GetWindowRect(m_hWnd, &window);
    if (!Contains(window, screen)) return 0;
    lastWheelDelta_ = std::int16_t(HIWORD(wParam));
    if (lastWheelDelta_ < 0)
        ScrollDown();
    else
        ScrollUp();
    return 0;
}

void TkShortcutListCtrl::ScrollUp() {
    SendMessage(WM_VSCROLL, SB_LINEUP, LPARAM(vertBar_));
    if (vertBar_) SetScrollPos(vertBar_, SB_CTL, topIndex_, FALSE);
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void TkShortcutListCtrl::ScrollDown() {
    SendMessage(WM_VSCROLL, SB_LINEDOWN, LPARAM(vertBar_));
    if (vertBar_) SetScrollPos(vertBar_, SB_CTL, topIndex_, FALSE);
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

// The hover tick looks where the pointer was for this message, not where it is now.
LRESULT TkShortcutListCtrl::OnTimer(WPARAM id, LPARAM lParam) {
    if (id != HoverTimer) return TkListBaseC::OnTimer(id, lParam);
    KillTimer(m_hWnd, HoverTimer);
    hoverTimer_ = 0;
    const DWORD position = GetMessagePos();
    const POINT pointer{std::int16_t(LOWORD(position)), std::int16_t(HIWORD(position))};
    RECT window;
    GetWindowRect(m_hWnd, &window);
    if (!Contains(window, pointer) && hotItem_ >= 0) SetHotState(hotItem_, 0);
    return 0;
}

LRESULT TkShortcutListCtrl::OnKillFocus(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = TkListBaseC::OnKillFocus(wParam, lParam);
    if (hotItem_ >= 0) SetHotState(hotItem_, 0);
    return result;
}

// ---- views

LRESULT TkShortcutListCtrl::OnContextMenu(WPARAM, LPARAM lParam) {
    HMENU menu = LoadMenu(IDR_TK_SHORTCUT_LIST_MENU);
    if (!menu) return 0;
    HMENU popup = GetSubMenu(menu, 0);
    if (popup) {
        const bool icons = (style_ & LVS_TYPEMASK) == LVS_ICON;
        CheckMenuItem(popup, icons ? ID_TK_LARGE_ICON : ID_TK_SMALL_ICON, MF_BYCOMMAND | MF_CHECKED);
        PrepareContextMenu(popup);
        const POINT at = PointOf(lParam);
        TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    }
    DestroyMenu(menu);
    return 0;
}

void TkShortcutListCtrl::OnLargeIcons() {
    ModifyListStyle(LVS_TYPEMASK, LVS_ICON, TRUE);
}

void TkShortcutListCtrl::OnSmallIcons() {
    ModifyListStyle(LVS_TYPEMASK, LVS_REPORT, TRUE);
}

// ---- dragging icons out

BOOL TkShortcutListCtrl::PrepareDragData(COleDataSource* source, LV_ITEM* item) {
    std::array<char, TextBufferSize> text{};
    item->mask = DragItemMask;
    item->iSubItem = 0;
    item->pszText = text.data();
    item->cchTextMax = TextBufferSize;
    GetItem(item, TRUE, TRUE);
    // The owner's answer may name a text of its own that does not outlive this call.
    dragText_ = item->pszText && item->pszText != LPSTR_TEXTCALLBACK ? item->pszText : "";
    item->pszText = dragText_.data();
    item->cchTextMax = std::int32_t(dragText_.size() + 1);
    item->mask = DragItemMask;
    SetHotState(item->iItem, 0);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    std::string block(DragBlockSize, '\0');
    std::memcpy(block.data(), ProcessIdentity().bytes.data(), 16);
    std::memcpy(block.data() + 16, item, sizeof(LV_ITEM));
    source->CacheGlobalData(DragFormat(), std::move(block));
    return TRUE;
}

void TkShortcutListCtrl::StartDrag(std::int32_t item) {
    const TkListItem* record = GetItemRecord(item);
    if (!record) return;
    pressPoint_ = POINT{-1, -1};
    COleDataSource source;
    LV_ITEM dragged;
    dragged.iItem = item;
    if (!PrepareDragData(&source, &dragged)) return;
    const std::shared_ptr<bool> alive = alive_;
    const DWORD effect = source.DoDragDrop(DROPEFFECT_MOVE);
    if (!*alive) return;
    dragText_.clear();
    if (effect != DROPEFFECT_MOVE) return;
    hotItem_ = -1;
    DeleteItem(record);
    RemeasureAll();
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

// ---- taking icons in

bool TkShortcutListCtrl::GapAt(POINT point, std::int32_t* above, RECT* gap, std::int32_t* code) {
    RECT area;
    GetItemArea(&area);
    const std::int32_t count = GetItemCount(), spacing = GetRowSpacing();
    std::int32_t found = count ? count - 1 : -1;
    std::int32_t gapTop = area.top;
    std::int32_t bottom = area.top;
    bool located = !count;
    if (count && point.y < area.top + spacing) {
        found = topIndex_ - 1;
        located = true;
    }
    for (std::int32_t item = topIndex_; item < count && !located; ++item) {
        const std::int32_t rowTop = bottom + spacing;
        bottom = rowTop + std::max(items_[std::size_t(item)]->rowHeight, 0);
        if (point.y >= rowTop && point.y < bottom) return false;
        if (point.y >= bottom && point.y < bottom + spacing) {
            found = item;
            gapTop = bottom;
            located = true;
        }
    }
    if (!located && count) gapTop = bottom;
    *above = found;
    *gap = RECT{area.left, gapTop, area.right, gapTop + spacing};
    *code = found + 1 == 0 ? MarkFirst : found == count - 1 ? MarkLast : found + 1;
    return true;
}

DWORD TkShortcutListCtrl::ListDropTarget::OnDragEnter(CWnd*, COleDataObject* data, DWORD, POINT) {
    m_source = Guid{};
    const auto block = data->GetData(DragFormat());
    // A block too short for a record is no shortcut list's.
    if (!block || block->size() < DragBlockSize) return DROPEFFECT_NONE;
    std::memcpy(m_source.bytes.data(), block->data(), 16);
    return m_source == ProcessIdentity() ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
}

DWORD TkShortcutListCtrl::ListDropTarget::OnDragOver(CWnd*, COleDataObject* data, DWORD, POINT point) {
    if (!m_pList || !(m_source == ProcessIdentity())) return DROPEFFECT_NONE;
    OnDragLeave(nullptr);
    std::int32_t above = -1, code = 0;
    RECT gap;
    if (!m_pList->GapAt(point, &above, &gap, &code)) return DROPEFFECT_NONE;
    const auto block = data->GetData(DragFormat());
    if (!block || block->size() < DragBlockSize) return DROPEFFECT_NONE;
    HDC dc = GetDC(m_pList->m_hWnd);
    m_pList->PaintInsertMark(dc, gap, code);
    ReleaseDC(m_pList->m_hWnd, dc);
    m_markRect = gap;
    return DROPEFFECT_MOVE;
}

void TkShortcutListCtrl::ListDropTarget::OnDragLeave(CWnd*) {
    if (!m_pList || m_markRect.IsEmpty()) return;
    HDC dc = GetDC(m_pList->m_hWnd);
    FillSolid(dc, m_markRect, m_pList->GetBkColor());
    ReleaseDC(m_pList->m_hWnd, dc);
    m_markRect = RECT{};
}

BOOL TkShortcutListCtrl::ListDropTarget::OnDrop(CWnd*, COleDataObject* data, DWORD, POINT point) {
    if (!m_pList) return FALSE;
    const HCURSOR old = SetCursor(LoadCursor(IDC_WAIT));
    const auto block = data->GetData(DragFormat());
    const BOOL dropped = block && m_source == ProcessIdentity() && m_pList->DropRecord(*block, point);
    m_source = Guid{};
    m_markRect = RECT{};
    SetCursor(old);
    return dropped;
}

BOOL TkShortcutListCtrl::DropRecord(const std::string& block, POINT point) {
    UINT flags = 0;
    if (block.size() < DragBlockSize || HitTest(point.x, point.y, &flags, nullptr) != -1) return FALSE;
    std::int32_t above = -1, code = 0;
    RECT gap;
    if (!GapAt(point, &above, &gap, &code)) return FALSE;
    LV_ITEM record;
    std::memcpy(&record, block.data() + 16, sizeof record);
    record.mask &= DragItemMask;
    const CImageList* list = GetImageList((style_ & LVS_TYPEMASK) == LVS_ICON ? LVSIL_NORMAL : LVSIL_SMALL);
    if (record.iImage >= (list ? list->GetImageCount() : 0)) record.iImage = 0;
    InsertItemAfter(GetItemRecord(above), &record);
    RemeasureAll();
    InvalidateRect(m_hWnd, nullptr, TRUE);
    NotifyParent(TKSL_ITEMDROPPED);
    return TRUE;
}

} // namespace vq
