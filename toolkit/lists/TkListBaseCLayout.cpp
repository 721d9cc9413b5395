// Row geometry, scrolling and the scroll bars of the toolkit list.
#include "platform/core/Exceptions.h"
#include "platform/gui/DeferWindowPos.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Redraw.h"
#include "platform/gui/ScrollBar.h"
#include "platform/gui/StandardControls.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/lists/TkListBaseC.h"

#include <algorithm>

namespace vq {

namespace {

constexpr UINT HorzBarId = 59904;
constexpr UINT VertBarId = 59920;
constexpr std::int32_t HorzLine = 15;

} // namespace

// ---- rows

std::int32_t TkListBaseC::RowExtent(std::int32_t item) {
    TkListItem& record = *items_[std::size_t(item)];
    if (record.measureNeeded) MeasureItem(item, nullptr);
    return GetRowSpacing() + std::max(record.rowHeight, 0);
}

std::int32_t TkListBaseC::AreaHeight() const {
    RECT area;
    GetItemArea(&area);
    return area.Height();
}

std::int32_t TkListBaseC::GetCountPerPage() {
    const std::int32_t height = AreaHeight(), count = GetItemCount();
    std::int32_t used = 0, rows = 0, item = topIndex_;
    for (; item < count; ++item, ++rows) {
        used += RowExtent(item);
        if (used > height) return rows;
    }
    for (item = topIndex_ - 1; item >= 0; --item, ++rows) {
        used += RowExtent(item);
        if (used > height) break;
    }
    return rows;
}

std::int32_t TkListBaseC::GetPageUpCount() {
    const std::int32_t height = AreaHeight();
    std::int32_t used = 0, rows = 0;
    for (std::int32_t item = topIndex_ - 1; item >= 0; --item, ++rows) {
        used += RowExtent(item);
        if (used > height) break;
    }
    return rows;
}

std::int32_t TkListBaseC::GetLastFullyVisible(BOOL /*measure*/) {
    const std::int32_t height = AreaHeight(), count = GetItemCount();
    std::int32_t used = 0;
    for (std::int32_t item = topIndex_; item < count; ++item) {
        used += RowExtent(item);
        if (used > height) return item - 1;
    }
    return count - 1;
}

std::int32_t TkListBaseC::GetVisibleEnd() {
    const std::int32_t height = AreaHeight(), count = GetItemCount();
    std::int32_t used = 0, item = topIndex_;
    for (; item < count && used < height; ++item)
        used += RowExtent(item);
    return item;
}

std::int32_t TkListBaseC::GetLastPageTop() {
    const std::int32_t height = AreaHeight(), count = GetItemCount();
    std::int32_t used = 0, item = count - 1;
    for (; item >= 0; --item) {
        used += RowExtent(item);
        if (used > height) break;
    }
    return item + 1;
}

std::int32_t TkListBaseC::GetPageStartAbove() {
    const std::int32_t height = AreaHeight();
    std::int32_t used = 0, item = topIndex_;
    while (item >= 0 && used < height)
        used += RowExtent(item--);
    return item;
}

std::int32_t TkListBaseC::ItemFromContentY(POINT point) {
    const std::int32_t count = GetItemCount();
    std::int32_t used = 0, item = 0;
    while (item < count && used < point.y)
        used += RowExtent(item++);
    return item;
}

BOOL TkListBaseC::SetItemHeight(std::int32_t item, std::int32_t height) {
    if (!IsItem(item)) return FALSE;
    items_[std::size_t(item)]->rowHeight = height;
    return TRUE;
}

std::int32_t TkListBaseC::GetRangeHeight(std::int32_t a, std::int32_t b, BOOL inclusive) {
    const std::int32_t low = std::max(std::min(a, b), 0);
    const std::int32_t high = std::min(std::max(a, b) + (inclusive ? 1 : 0), GetItemCount());
    std::int32_t sum = 0;
    for (std::int32_t item = low; item < high; ++item)
        sum += RowExtent(item);
    return b < a ? -sum : sum;
}

std::int32_t TkListBaseC::CountItemsInHeight(std::int32_t height, std::int32_t start, BOOL forward) {
    const std::int32_t count = GetItemCount();
    std::int32_t used = 0, items = 0;
    for (std::int32_t item = start; item >= 0 && item < count && used < height;
         item += forward ? 1 : -1, ++items)
        used += RowExtent(item);
    return items;
}

// ---- rectangles

void TkListBaseC::GetWindowClientRect(RECT* rect) const {
    *rect = RECT{};
    if (m_hWnd) GetClientRect(m_hWnd, rect);
}

void TkListBaseC::GetItemArea(RECT* area) const {
    GetWindowClientRect(area);
    if (IsHeaderShown()) area->top = std::min(area->top + headerHeight_, area->bottom);
    if (barsShown_ & (1u << SB_VERT)) area->right -= GetSystemMetrics(SM_CXVSCROLL) - 1;
    if (barsShown_ & (1u << SB_HORZ)) area->bottom -= GetSystemMetrics(SM_CYHSCROLL) - 1;
}

BOOL TkListBaseC::GetSubItemRect(std::int32_t item, std::int32_t column, RECT* rect, std::int32_t code) {
    if (!rect || !IsItem(item) || !IsColumn(column) || item < topIndex_) return FALSE;
    RECT area;
    GetItemArea(&area);
    std::int32_t top = area.top;
    for (std::int32_t row = topIndex_; row < item; ++row)
        top += RowExtent(row);
    top += GetRowSpacing();
    const TkListItem& record = *items_[std::size_t(item)];
    RECT cell{GetColumnLeft(column), top, 0, top + std::max(record.rowHeight, 0)};
    cell.right = cell.left + GetColumnWidth(column);
    const TkListColumn& c = *columns_[std::size_t(column)];
    if (c.subItem != 0) {
        if (code != LVIR_LABEL || std::size_t(c.subItem) > record.subItems.size()) return FALSE;
        const RECT& label = record.subItems[std::size_t(c.subItem - 1)]->labelRect;
        std::int32_t left = label.left;
        if ((c.format & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER) left = c.width / 2 - label.Width() / 2;
        *rect = RECT{cell.left + left, cell.top + label.top, cell.left + left + label.Width(),
                     cell.top + label.bottom};
        return TRUE;
    }
    switch (code) {
    case LVIR_LABEL:
        *rect = RECT{cell.left + record.labelRect.left, cell.top, cell.left + record.labelRect.right,
                     cell.bottom};
        return TRUE;
    case LVIR_ICON:
        *rect = RECT{cell.left + record.iconRect.left, cell.top + record.iconRect.top,
                     cell.left + record.iconRect.right, cell.top + record.iconRect.bottom};
        return TRUE;
    case LVIR_BOUNDS:
        if (GetColumnCount() == 1) cell.right = area.right;
        *rect = cell;
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL TkListBaseC::GetItemRect(std::int32_t item, RECT* rect, std::int32_t code) {
    for (std::int32_t c = 0; c < GetColumnCount(); ++c)
        if (columns_[std::size_t(c)]->subItem == 0) return GetSubItemRect(item, c, rect, code);
    return FALSE;
}

std::int32_t TkListBaseC::GetContentWidth(BOOL /*measure*/) {
    if (GetColumnCount() >= 2) {
        std::int32_t sum = 0;
        for (auto& column : columns_)
            sum += column->width;
        return sum;
    }
    RECT area;
    GetItemArea(&area);
    const std::int32_t height = area.Height();
    std::int32_t widest = 0, used = 0;
    for (std::int32_t item = topIndex_; item < GetItemCount(); ++item) {
        used += RowExtent(item);
        widest = std::max(widest, items_[std::size_t(item)]->labelRect.right + 5);
        // Wrapped labels are as wide as their column at most; only the shown rows count.
        if (IsWrapLabels() && used >= height) break;
    }
    return IsReportView() ? std::max(widest, area.Width()) : widest;
}

void TkListBaseC::InvalidateItem(std::int32_t item, BOOL labelOnly, BOOL erase, BOOL toBottom,
                                 BOOL updateNow) {
    if (!m_hWnd || !IsItem(item) || item < topIndex_) return;
    RECT area;
    GetItemArea(&area);
    std::int32_t top = area.top;
    for (std::int32_t row = topIndex_; row < item && top < area.bottom; ++row)
        top += RowExtent(row);
    if (top >= area.bottom) return;
    top += GetRowSpacing();
    RECT rect{area.left, top, area.left + std::max(area.Width(), GetContentWidth(FALSE)),
              top + std::max(items_[std::size_t(item)]->rowHeight, 0)};
    if (toBottom) {
        if (erase) {
            rect.bottom = area.bottom;
        } else if (rect.bottom < area.bottom) {
            HDC dc = GetDC(m_hWnd);
            HBRUSH brush = CreateSolidBrush(GetBkColor());
            const RECT below{area.left, rect.bottom, area.right, area.bottom};
            FillRect(dc, &below, brush);
            DeleteObject(brush);
            ReleaseDC(m_hWnd, dc);
        }
    }
    if (labelOnly && !HasListExStyle(LVXS_FULLROWSELECT)) {
        RECT label;
        if (GetItemRect(item, &label, LVIR_LABEL)) {
            rect.left = label.left - 3;
            rect.right = label.right + 3;
        }
    }
    if (updateNow)
        RedrawWindow(m_hWnd, &rect, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | (erase ? UINT(RDW_ERASE) : 0u));
    else
        InvalidateRect(m_hWnd, &rect, erase);
}

void TkListBaseC::InvalidateItemRange(std::int32_t first, std::int32_t last) {
    for (std::int32_t item = std::max(std::min(first, last), topIndex_); item <= std::max(first, last);
         ++item)
        InvalidateItem(item, FALSE, TRUE, FALSE, FALSE);
}

// ---- scrolling

void TkListBaseC::ScrollVert(std::int32_t items, BOOL convert) {
    if (convert && items > 0) {
        const std::int32_t below = GetLastFullyVisible(TRUE) + 1;
        const std::int32_t height = GetRangeHeight(below, std::min(below + items, GetItemCount()), FALSE);
        items = CountItemsInHeight(height, topIndex_, TRUE);
    }
    const std::int32_t top = std::clamp(topIndex_ + items, 0, std::max(GetItemCount() - 1, 0));
    if (top == topIndex_) return;
    topIndex_ = top;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void TkListBaseC::ScrollHorz(std::int32_t pixels) {
    RECT area;
    GetItemArea(&area);
    const std::int32_t largest = std::max(GetContentWidth(FALSE) - area.Width(), 0);
    horzOffset_ = std::clamp(horzOffset_ - pixels, 0, largest);
    if (horzBar_) SetScrollPos(horzBar_, SB_CTL, horzOffset_, TRUE);
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

BOOL TkListBaseC::SetTopIndex(std::int32_t item) {
    ScrollVert(item - topIndex_, FALSE);
    UpdateLayout();
    return TRUE;
}

BOOL TkListBaseC::EnsureVisible(std::int32_t item) {
    const std::int32_t last = GetLastFullyVisible(TRUE);
    if (item > last)
        ScrollVert(item - last, TRUE);
    else if (item < topIndex_)
        ScrollVert(item - topIndex_, FALSE);
    return TRUE;
}

BOOL TkListBaseC::EnsureRangeVisible(std::int32_t first, std::int32_t last) {
    if (first < 0 || last >= GetItemCount() || last < first) return FALSE;
    if (first >= topIndex_ && last <= GetLastFullyVisible(TRUE)) return TRUE;
    const std::int32_t height = AreaHeight();
    std::int32_t used = 0;
    for (std::int32_t item = first; item <= last; ++item) {
        const std::int32_t extent = RowExtent(item);
        if (used + extent > height) break;
        used += extent;
    }
    std::int32_t top = first;
    while (top > 0 && used + RowExtent(top - 1) <= height)
        used += RowExtent(--top);
    topIndex_ = top;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
    return TRUE;
}

void TkListBaseC::UpdateLayout() {
    UpdateVertScrollBar(GetItemCount());
    if (IsWrapLabels())
        for (auto& item : items_)
            item->measureNeeded = true;
    UpdateHorzScrollBar(GetContentWidth(TRUE));
    UpdateVertScrollBar(GetItemCount());
    PositionScrollBars();
}

void TkListBaseC::UpdateVertScrollBar(std::int32_t count) {
    RECT before;
    GetItemArea(&before);
    const std::int32_t page = GetCountPerPage();
    if (page < count) {
        topIndex_ = std::min(topIndex_, count - page);
        SCROLLINFO info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = count - 1;
        info.nPage = UINT(page);
        info.nPos = topIndex_;
        ShowScrollBarCtrl(SB_VERT, TRUE, &info);
    } else {
        topIndex_ = 0;
        ShowScrollBarCtrl(SB_VERT, FALSE, nullptr);
    }
    RECT after;
    GetItemArea(&after);
    if (after.Width() != before.Width() && GetColumnCount() > 0 &&
        (GetColumnCount() == 1 || HasListExStyle(LVXS_FITLABELCOLUMN))) {
        FitLabelColumnIfNeeded();
        if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

void TkListBaseC::UpdateHorzScrollBar(std::int32_t width) {
    RECT area;
    GetItemArea(&area);
    if (width > area.Width()) {
        horzOffset_ = std::min(horzOffset_, width - area.Width());
        SCROLLINFO info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = width;
        info.nPage = UINT(area.Width());
        info.nPos = horzOffset_;
        ShowScrollBarCtrl(SB_HORZ, TRUE, &info);
    } else {
        horzOffset_ = 0;
        ShowScrollBarCtrl(SB_HORZ, FALSE, nullptr);
    }
}

HWND TkListBaseC::CreateScrollBarCtrl(DWORD barStyle, UINT id) {
    RegisterStandardControls();
    return CreateWindowEx(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | barStyle, 0, 0, 1, 1, m_hWnd, id,
                          nullptr);
}

void TkListBaseC::ShowScrollBarCtrl(std::int32_t bar, BOOL show, const SCROLLINFO* info) {
    if (!m_hWnd) return;
    if (HasListStyle(LVS_NOSCROLL)) show = FALSE;
    if (bar == SB_BOTH) {
        ShowScrollBarCtrl(SB_HORZ, show, info);
        ShowScrollBarCtrl(SB_VERT, show, nullptr);
        return;
    }
    HWND& window = bar == SB_VERT ? vertBar_ : horzBar_;
    // A bar kept hidden by LVS_NOSCROLL still holds its range and position for scrolling by code.
    if (!window && !show && !info) return;
    if (!window) {
        window =
            CreateScrollBarCtrl(bar == SB_VERT ? SBS_VERT : SBS_HORZ, bar == SB_VERT ? VertBarId : HorzBarId);
        if (!window) throw ResourceException("the list could not make its scroll bar");
        barsShown_ |= 1u << bar;
    }
    if (info) SetScrollInfo(window, SB_CTL, info, FALSE);
    const bool shown = barsShown_ & (1u << bar);
    if (shown != bool(show)) {
        barsShown_ ^= 1u << bar;
        ShowWindow(window, show ? SW_SHOW : SW_HIDE);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void TkListBaseC::PositionScrollBars() {
    if (!m_hWnd || (!horzBar_ && !vertBar_)) return;
    RECT area, client;
    GetItemArea(&area);
    GetWindowClientRect(&client);
    HDWP batch = BeginDeferWindowPos(2);
    if (horzBar_)
        batch = DeferWindowPos(batch, horzBar_, 0, area.left, area.bottom, area.Width() + 1,
                               GetSystemMetrics(SM_CYHSCROLL), SWP_NOZORDER | SWP_NOACTIVATE);
    if (vertBar_)
        batch = DeferWindowPos(batch, vertBar_, 0, area.right, client.top, GetSystemMetrics(SM_CXVSCROLL),
                               area.Height() + 1 + (IsHeaderShown() ? headerHeight_ : 0),
                               SWP_NOZORDER | SWP_NOACTIVATE);
    EndDeferWindowPos(batch);
    if (horzBar_) InvalidateRect(horzBar_, nullptr, TRUE);
    if (vertBar_) InvalidateRect(vertBar_, nullptr, TRUE);
}

// ---- messages

LRESULT TkListBaseC::OnSize(WPARAM, LPARAM) {
    PositionScrollBars();
    if (GetColumnCount() > 0) {
        FitLabelColumnIfNeeded();
        RemeasureAll();
    }
    return Default();
}

LRESULT TkListBaseC::OnVScroll(WPARAM wParam, LPARAM) {
    if (!vertBar_) return 0;
    EndLabelEdit(TRUE);
    tip_->Hide();
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    GetScrollInfo(vertBar_, SB_CTL, &info);
    const std::int32_t page = std::int32_t(info.nPage), position = info.nPos, maximum = info.nMax;
    std::int32_t delta = 0;
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        delta = position > 0 ? -1 : 0;
        break;
    case SB_LINEDOWN:
        delta = position + page < maximum + 1 ? 1 : 0;
        break;
    case SB_PAGEUP:
        delta = -GetPageUpCount();
        break;
    case SB_PAGEDOWN:
        delta = std::min(topIndex_ + page, maximum - page + 1) - topIndex_;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        delta = info.nTrackPos - position;
        break;
    case SB_TOP:
        delta = -position;
        break;
    case SB_BOTTOM:
        delta = maximum - page - position + 1;
        break;
    default:
        return 0;
    }
    if (delta) ScrollVert(delta, FALSE);
    return 0;
}

LRESULT TkListBaseC::OnHScroll(WPARAM wParam, LPARAM) {
    EndLabelEdit(TRUE);
    tip_->Hide();
    RECT area;
    GetItemArea(&area);
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    if (horzBar_) GetScrollInfo(horzBar_, SB_CTL, &info);
    switch (LOWORD(wParam)) {
    case SB_LINELEFT:
        ScrollHorz(HorzLine);
        break;
    case SB_LINERIGHT:
        ScrollHorz(-HorzLine);
        break;
    case SB_PAGELEFT:
        ScrollHorz(area.Width());
        break;
    case SB_PAGERIGHT:
        ScrollHorz(-area.Width());
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        ScrollHorz(horzOffset_ - info.nTrackPos);
        break;
    case SB_LEFT:
        ScrollHorz(horzOffset_);
        break;
    case SB_RIGHT:
        ScrollHorz(-GetContentWidth(FALSE));
        break;
    default:
        break;
    }
    return 0;
}

// Whole notches only, positive up; what is left of a notch is dropped once one acted.
LRESULT TkListBaseC::OnMouseWheel(WPARAM wParam, LPARAM) {
    wheelDelta_ += std::int16_t(HIWORD(wParam));
    const std::int32_t notches = wheelDelta_ / WHEEL_DELTA;
    if (!notches) return 0;
    wheelDelta_ = 0;
    tip_->Hide();
    if (barsShown_ & (1u << SB_VERT)) {
        SCROLLINFO info;
        info.fMask = SIF_ALL;
        GetScrollInfo(vertBar_, SB_CTL, &info);
        if (notches > 0 && info.nPos > 0)
            ScrollVert(-notches, FALSE);
        else if (notches < 0 && info.nPos + std::int32_t(info.nPage) < info.nMax + 1)
            ScrollVert(std::min(-notches, info.nMax + 1 - info.nPos - std::int32_t(info.nPage)), FALSE);
    } else if (barsShown_ & (1u << SB_HORZ)) {
        ScrollHorz(notches * HorzLine);
    }
    return 0;
}

} // namespace vq
