#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/View.h"
#include "platform/gui/DragRect.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkControlBar.h"
#include "toolkit/frames/TkDockBar.h"

#include <algorithm>
#include <cmath>

namespace vq {

namespace {

constexpr std::int32_t kSplitterWidth = 6;
// Room a bar keeps on each side of a bar splitter, and a row beside a row splitter.
constexpr std::int32_t kBarMinimum = 24;
constexpr std::int32_t kRowMinimum = 19;
// The shortest length a bar splitter leaves a bar.
constexpr std::int32_t kShortestBar = 18;

DWORD BarSizeMode(CControlBar* bar) {
    if ((bar->m_dwStyle & CBRS_SIZE_DYNAMIC) && (bar->m_dwStyle & CBRS_FLOATING))
        return LM_HORZ | LM_MRUWIDTH;
    if (bar->m_dwStyle & CBRS_ORIENT_HORZ) return LM_HORZ | LM_HORZDOCK;
    return LM_VERTDOCK;
}

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

TkDockBar::Splitter* TkDockBar::SplitterAt(POINT client) const {
    // The last one holding the point wins, as it was laid out last.
    for (auto it = m_arrSplitters.rbegin(); it != m_arrSplitters.rend(); ++it)
        if ((*it)->m_rect.Contains(client.x, client.y)) return it->get();
    return nullptr;
}

LRESULT TkDockBar::OnSetCursorMessage(WPARAM wParam, LPARAM lParam) {
    if (HWND(wParam) == m_hWnd && LOWORD(std::uintptr_t(lParam)) == HTCLIENT) return TRUE;
    return Default();
}

LRESULT TkDockBar::OnMouseMoveMessage(WPARAM, LPARAM lParam) {
    const Splitter* splitter = SplitterAt(PointOf(lParam));
    if (!splitter)
        SetCursor(tkSysMetrics.m_hArrowCursor);
    else
        SetCursor(splitter->m_nOrientation == 1 ? tkSysMetrics.m_hResizeCursor1
                                                : tkSysMetrics.m_hResizeCursor2);
    return Default();
}

LRESULT TkDockBar::OnLButtonDownMessage(WPARAM, LPARAM lParam) {
    const POINT p = PointOf(lParam);
    if (Splitter* splitter = SplitterAt(p)) {
        OnSplitterDown(splitter, p);
        return 0;
    }
    return Default();
}

void TkDockBar::OnSplitterDown(Splitter* splitter, POINT point) {
    CalcSplitterLimits(splitter);
    const int distance = TrackSplitter(splitter, point);
    if (distance == 0) return;
    ApplySplitterMove(splitter, distance);
    if (CFrameWnd* frame = GetDockingFrame()) frame->DelayRecalcLayout(TRUE);
}

void TkDockBar::CalcSplitterLimits(Splitter* splitter) {
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int index = std::clamp(splitter->m_nIndex, 1, int(m_arrBars.size()) - 1);
    const int start = RowStart(index), end = RowEnd(index);
    if (splitter->m_nKind == Splitter::Bar) {
        int before = 0, after = 0;
        for (int i = start; i < end; ++i)
            if (m_arrBars[std::size_t(i)].bar) (i <= index ? before : after) += 1;
        const bool vertical = splitter->m_nOrientation == 1;
        splitter->m_nTrackMin = (vertical ? client.left : client.top) + kBarMinimum * before;
        splitter->m_nTrackMax = (vertical ? client.right : client.bottom) - kBarMinimum * after;
        return;
    }
    const bool horzBar = IsHorz();
    std::int32_t thickness = 0;
    for (int i = start; i < end; ++i)
        if (CControlBar* bar = m_arrBars[std::size_t(i)].bar) {
            const SIZE size = bar->CalcDynamicLayout(-1, BarSizeMode(bar));
            thickness = std::max(thickness, horzBar ? size.cy : size.cx);
        }
    RECT pane{};
    if (CFrameWnd* frame = GetDockingFrame()) {
        RECT frameClient;
        GetClientRect(frame->m_hWnd, &frameClient);
        frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &pane, &frameClient);
        MapWindowPoints(frame->m_hWnd, m_hWnd, reinterpret_cast<POINT*>(&pane), 2);
    }
    const RECT& r = splitter->m_rect;
    switch (m_dwStyle & CBRS_ALIGN_ANY) {
    case CBRS_ALIGN_TOP:
        splitter->m_nTrackMin = r.top - thickness + kRowMinimum;
        splitter->m_nTrackMax = std::max(pane.bottom - kRowMinimum, r.bottom);
        break;
    case CBRS_ALIGN_BOTTOM:
        splitter->m_nTrackMin = std::min(pane.top + kRowMinimum, r.top);
        splitter->m_nTrackMax = r.top + thickness - kRowMinimum;
        break;
    case CBRS_ALIGN_LEFT:
        splitter->m_nTrackMin = r.left - thickness + kRowMinimum;
        splitter->m_nTrackMax = std::max(pane.right - kRowMinimum, r.right);
        break;
    default:
        splitter->m_nTrackMin = std::min(pane.left + kRowMinimum, r.left);
        splitter->m_nTrackMax = r.left + thickness - kRowMinimum;
        break;
    }
}

int TkDockBar::TrackSplitter(Splitter* splitter, POINT point) {
    if (GetCapture()) return 0;
    SetCapture(m_hWnd);
    UpdateWindow(m_hWnd);
    const bool vertical = splitter->m_nOrientation == 1;
    const RECT original = splitter->m_rect;
    const std::int32_t startNear = vertical ? original.left : original.top;
    const std::int32_t grasp = (vertical ? point.x : point.y) - startNear;
    std::int32_t nearSide = startNear;
    bool moved = false;

    HDC dc = GetDC(m_hWnd);
    // The drag bar: the splitter less a pixel on each long side, solid across.
    auto barRect = [&](std::int32_t at) {
        return vertical ? RECT{at + 1, original.top, at + kSplitterWidth - 1, original.bottom}
                        : RECT{original.left, at + 1, original.right, at + kSplitterWidth - 1};
    };
    constexpr SIZE kThick{5, 5};
    RECT drawn = barRect(nearSide);
    DrawDragRect(dc, &drawn, kThick, nullptr, kThick);

    int result = 0;
    bool done = false;
    while (!done) {
        if (GetCapture() != m_hWnd) {
            // Whoever took the pointer away ends the drag where it got to.
            result = nearSide - startNear;
            break;
        }
        MSG msg;
        if (!GetMessage(&msg, 0, 0, 0)) {
            PostQuitMessage(int(msg.wParam));
            splitter->m_rect = original;
            break;
        }
        switch (msg.message) {
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) {
                splitter->m_rect = original;
                done = true;
            }
            break;
        case WM_RBUTTONDOWN:
            splitter->m_rect = original;
            done = true;
            break;
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: {
            POINT p = PointOf(msg.lParam);
            if (msg.hwnd != m_hWnd) MapWindowPoints(msg.hwnd, m_hWnd, &p, 1);
            std::int32_t at = (vertical ? p.x : p.y) - grasp;
            at = std::max(at, splitter->m_nTrackMin);
            if (at + kSplitterWidth > splitter->m_nTrackMax) at = splitter->m_nTrackMax - kSplitterWidth;
            if (at != nearSide) {
                nearSide = at;
                moved = true;
                const RECT next = barRect(nearSide);
                DrawDragRect(dc, &next, kThick, &drawn, kThick);
                drawn = next;
                splitter->m_rect = vertical ? RECT{at, original.top, at + kSplitterWidth, original.bottom}
                                            : RECT{original.left, at, original.right, at + kSplitterWidth};
            }
            if (msg.message == WM_LBUTTONUP) {
                result = moved ? nearSide - startNear : 0;
                if (!moved) splitter->m_rect = original;
                done = true;
            }
            break;
        }
        default:
            DispatchMessage(&msg);
            break;
        }
    }
    DrawDragRect(dc, nullptr, kThick, &drawn, kThick);
    ReleaseDC(m_hWnd, dc);
    if (GetCapture() == m_hWnd) ReleaseCapture();
    return result;
}

void TkDockBar::ApplySplitterMove(Splitter* splitter, int distance) {
    m_bLayoutChanged = TRUE;
    const int index = std::clamp(splitter->m_nIndex, 1, int(m_arrBars.size()) - 1);
    if (CControlBar* bar = m_arrBars[std::size_t(index)].bar) QueueRowToolBars(bar);
    const bool horzBar = IsHorz();
    const int start = RowStart(index), end = RowEnd(index);
    if (splitter->m_nKind == Splitter::Row) {
        const DWORD align = m_dwStyle & CBRS_ALIGN_ANY;
        const int delta = (align == CBRS_ALIGN_TOP || align == CBRS_ALIGN_LEFT) ? distance : -distance;
        for (int i = start; i < end; ++i) {
            CControlBar* bar = m_arrBars[std::size_t(i)].bar;
            if (!bar) continue;
            const DWORD mode = BarSizeMode(bar) | (horzBar ? DWORD(LM_LENGTHY) : 0);
            const SIZE size = bar->CalcDynamicLayout(-1, mode);
            bar->CalcDynamicLayout((horzBar ? size.cy : size.cx) + delta, mode | LM_COMMIT);
        }
        return;
    }
    RECT window;
    GetWindowRect(m_hWnd, &window);
    int visible = 0;
    for (int i = start; i < end; ++i)
        if (CControlBar* bar = m_arrBars[std::size_t(i)].bar; bar && bar->IsVisible()) ++visible;
    const std::int32_t L = (horzBar ? window.Width() : window.Height()) - kSplitterWidth * (visible - 1);
    // A row with no length has no shares to give.
    if (L <= 0) return;
    // Changes a bar's length by c as far as its limits allow; answers the part it did not take.
    auto apply = [&](CControlBar* bar, std::int32_t c) -> std::int32_t {
        const DWORD mode = BarSizeMode(bar) | (horzBar ? 0 : DWORD(LM_LENGTHY));
        const SIZE size = bar->CalcDynamicLayout(-1, mode);
        const std::int32_t current = horzBar ? size.cx : size.cy;
        std::int32_t length = std::max(current + c, kShortestBar);
        float* share = ShareOf(bar);
        float value = float(length) / float(L);
        if (value < m_fMinShare) {
            value = m_fMinShare;
            length = std::int32_t(m_fMinShare * float(L));
        }
        bar->CalcDynamicLayout(length, mode | LM_COMMIT);
        if (share) *share = value;
        if (length < current) Queue(bar);
        return current + c - length;
    };
    const int before = index;
    int after = -1;
    for (int i = index + 1; i < end; ++i)
        if (m_arrBars[std::size_t(i)].bar) {
            after = i;
            break;
        }
    std::int32_t d = distance;
    if (d < 0) {
        if (after >= 0) d += apply(m_arrBars[std::size_t(after)].bar, -d);
        for (int i = before; i >= start && d < 0; --i) {
            CControlBar* bar = m_arrBars[std::size_t(i)].bar;
            if (bar && bar->IsVisible()) d = apply(bar, d);
        }
    } else if (d > 0) {
        std::int32_t remainder = apply(m_arrBars[std::size_t(before)].bar, d) - d;
        for (int i = index + 1; i < end && remainder < 0; ++i) {
            CControlBar* bar = m_arrBars[std::size_t(i)].bar;
            if (bar && bar->IsVisible()) remainder = apply(bar, remainder);
        }
    }
}

} // namespace vq
