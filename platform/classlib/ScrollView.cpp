#include "platform/classlib/ScrollView.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/ScrollBar.h"

#include <algorithm>

namespace vq {

namespace {

// Lines the wheel moves for each notch.
inline constexpr int kWheelLines = 3;

int ClientExtent(HWND window, int bar) {
    RECT client;
    GetClientRect(window, &client);
    return bar == SB_HORZ ? client.Width() : client.Height();
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(CScrollView, CView)

void CScrollView::SetScrollSizes(int, SIZE total, SIZE page, SIZE line) {
    m_totalDev = {std::max(total.cx, 0), std::max(total.cy, 0)};
    m_pageDev = {page.cx > 0 ? page.cx : m_totalDev.cx / 10, page.cy > 0 ? page.cy : m_totalDev.cy / 10};
    m_lineDev = {line.cx > 0 ? line.cx : std::max(m_pageDev.cx / 10, 1),
                 line.cy > 0 ? line.cy : std::max(m_pageDev.cy / 10, 1)};
    if (m_hWnd) UpdateBars();
}

POINT CScrollView::GetScrollPosition() const {
    const DWORD style = GetStyle();
    return {style & WS_HSCROLL ? GetScrollPos(m_hWnd, SB_HORZ) : 0,
            style & WS_VSCROLL ? GetScrollPos(m_hWnd, SB_VERT) : 0};
}

int CScrollView::Clamped(int bar, int position) const {
    const int total = bar == SB_HORZ ? m_totalDev.cx : m_totalDev.cy;
    return std::clamp(position, 0, std::max(total - ClientExtent(m_hWnd, bar), 0));
}

void CScrollView::ScrollToPosition(POINT position) {
    const POINT old = GetScrollPosition();
    const POINT now{Clamped(SB_HORZ, position.x), Clamped(SB_VERT, position.y)};
    if (now.x == old.x && now.y == old.y) return;
    if (GetStyle() & WS_HSCROLL) SetScrollPos(m_hWnd, SB_HORZ, now.x, TRUE);
    if (GetStyle() & WS_VSCROLL) SetScrollPos(m_hWnd, SB_VERT, now.y, TRUE);
    ScrollWindow(m_hWnd, old.x - now.x, old.y - now.y, nullptr, nullptr);
}

void CScrollView::UpdateBars() {
    if (m_updatingBars) return;
    m_updatingBars = true;
    const POINT position = GetScrollPosition();
    RECT client;
    GetClientRect(m_hWnd, &client);
    // The client area without bars decides which bars the content needs; a bar takes room from
    // the other direction, which may need its bar then.
    const DWORD style = GetStyle();
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int barHeight = GetSystemMetrics(SM_CYHSCROLL);
    const int width = client.Width() + (style & WS_VSCROLL ? barWidth : 0);
    const int height = client.Height() + (style & WS_HSCROLL ? barHeight : 0);
    bool horizontal = m_totalDev.cx > width;
    bool vertical = m_totalDev.cy > height;
    if (horizontal && !vertical) vertical = m_totalDev.cy > height - barHeight;
    if (vertical && !horizontal) horizontal = m_totalDev.cx > width - barWidth;
    ShowScrollBar(m_hWnd, SB_HORZ, horizontal);
    ShowScrollBar(m_hWnd, SB_VERT, vertical);
    GetClientRect(m_hWnd, &client);
    const struct {
        int bar;
        bool shown;
        int total;
        int page;
        int at;
    } bars[] = {{SB_HORZ, horizontal, m_totalDev.cx, client.Width(), position.x},
                {SB_VERT, vertical, m_totalDev.cy, client.Height(), position.y}};
    for (const auto& b : bars) {
        if (!b.shown) continue;
        SCROLLINFO info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = 0;
        info.nMax = b.total - 1;
        info.nPage = UINT(b.page);
        info.nPos = std::clamp(b.at, 0, std::max(b.total - b.page, 0));
        SetScrollInfo(m_hWnd, b.bar, &info, TRUE);
    }
    // Content that no longer needs to be scrolled as far comes back into the window.
    const POINT now = GetScrollPosition();
    if (now.x != position.x || now.y != position.y)
        ScrollWindow(m_hWnd, position.x - now.x, position.y - now.y, nullptr, nullptr);
    m_updatingBars = false;
}

BOOL CScrollView::OnScroll(int bar, UINT code, int thumb) {
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(m_hWnd, bar, &info)) return FALSE;
    const int line = bar == SB_HORZ ? m_lineDev.cx : m_lineDev.cy;
    const int page = bar == SB_HORZ ? m_pageDev.cx : m_pageDev.cy;
    int target = info.nPos;
    switch (code) {
    case SB_LINEUP:
        target -= line;
        break;
    case SB_LINEDOWN:
        target += line;
        break;
    case SB_PAGEUP:
        target -= page;
        break;
    case SB_PAGEDOWN:
        target += page;
        break;
    case SB_TOP:
        target = 0;
        break;
    case SB_BOTTOM:
        target = info.nMax;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        target = thumb;
        break;
    default:
        return FALSE;
    }
    POINT position = GetScrollPosition();
    (bar == SB_HORZ ? position.x : position.y) = target;
    const POINT before = GetScrollPosition();
    ScrollToPosition(position);
    const POINT after = GetScrollPosition();
    return before.x != after.x || before.y != after.y;
}

BOOL CScrollView::OnMouseWheel(int delta) {
    // The wheel scrolls the content up and down, or across when it only has the horizontal bar.
    const DWORD style = GetStyle();
    if (!(style & (WS_VSCROLL | WS_HSCROLL))) return FALSE;
    const bool vertical = (style & WS_VSCROLL) != 0;
    const int line = vertical ? m_lineDev.cy : m_lineDev.cx;
    const int page = vertical ? m_pageDev.cy : m_pageDev.cx;
    const int lines = -delta * kWheelLines / WHEEL_DELTA;
    const int shift = std::clamp(lines * line, -page, page);
    POINT position = GetScrollPosition();
    (vertical ? position.y : position.x) += shift;
    ScrollToPosition(position);
    return TRUE;
}

void CScrollView::OnPrepareDC(HDC dc) {
    const POINT position = GetScrollPosition();
    SetViewportOrgEx(dc, -position.x, -position.y, nullptr);
}

BOOL CScrollView::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        // A bar control of the view's own reports to it; only the window's own bars scroll.
        if (lParam) break;
        if (CView::OnWndMsg(message, wParam, lParam, result)) return TRUE;
        // The message carries the thumb in 16 bits, enough for every content we scroll.
        OnScroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam), int(HIWORD(wParam)));
        *result = 0;
        return TRUE;
    case WM_MOUSEWHEEL:
        if (CView::OnWndMsg(message, wParam, lParam, result)) return TRUE;
        if (!OnMouseWheel(std::int16_t(HIWORD(wParam)))) break;
        *result = 0;
        return TRUE;
    case WM_SIZE:
        UpdateBars();
        break;
    default:
        break;
    }
    return CView::OnWndMsg(message, wParam, lParam, result);
}

} // namespace vq
