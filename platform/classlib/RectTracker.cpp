#include "platform/classlib/RectTracker.h"

#include "platform/gui/Desktop.h"
#include "platform/gui/DragRect.h"

namespace vq {

void CRectTracker::DrawTrackerRect(const RECT* rect, HWND clipTo, HDC dc, CWnd* window) {
    RECT r{};
    if (rect) {
        r = *rect;
        if (r.right < r.left) std::swap(r.left, r.right);
        if (r.bottom < r.top) std::swap(r.top, r.bottom);
        if (clipTo)
            MapWindowPoints(window->m_hWnd, clipTo == GetDesktopWindow() ? 0 : clipTo,
                            reinterpret_cast<POINT*>(&r), 2);
    }
    const SIZE size{1, 1};
    DrawDragRect(dc, (m_bFinalErase || !rect) ? nullptr : &r, size, m_bErase ? &m_rectLast : nullptr,
                 m_sizeLast);
    m_rectLast = r;
    m_sizeLast = size;
}

BOOL CRectTracker::TrackHandle(int hit, CWnd* window, POINT point, HWND clipTo) {
    if (GetCapture() || !window) return FALSE;
    SetCapture(window->m_hWnd);
    HDC dc = clipTo ? GetDCEx(clipTo, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE)
                    : GetDC(window->m_hWnd);
    const RECT start = m_rect;
    POINT last = point;
    m_bErase = FALSE;
    m_bFinalErase = FALSE;
    DrawTrackerRect(&m_rect, clipTo, dc, window);
    m_bErase = TRUE;
    BOOL changed = FALSE;
    bool cancelled = false;
    while (GetCapture() == window->m_hWnd) {
        MSG msg;
        if (!GetMessage(&msg, 0, 0, 0)) {
            PostQuitMessage(int(msg.wParam));
            cancelled = true;
            break;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            if (msg.hwnd != window->m_hWnd) MapWindowPoints(msg.hwnd, window->m_hWnd, &p, 1);
            const std::int32_t dx = p.x - last.x, dy = p.y - last.y;
            last = p;
            if (hit == hitMiddle || hit == hitLeft || hit == hitTopLeft || hit == hitBottomLeft)
                m_rect.left += dx;
            if (hit == hitMiddle || hit == hitRight || hit == hitTopRight || hit == hitBottomRight)
                m_rect.right += dx;
            if (hit == hitMiddle || hit == hitTop || hit == hitTopLeft || hit == hitTopRight)
                m_rect.top += dy;
            if (hit == hitMiddle || hit == hitBottom || hit == hitBottomLeft || hit == hitBottomRight)
                m_rect.bottom += dy;
            if (msg.message == WM_LBUTTONUP) {
                changed = m_rect != start;
                break;
            }
            DrawTrackerRect(&m_rect, clipTo, dc, window);
            continue;
        }
        if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_RBUTTONDOWN) {
            cancelled = true;
            break;
        }
        if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP) DispatchMessage(&msg);
    }
    if (cancelled) m_rect = start;
    m_bFinalErase = TRUE;
    DrawTrackerRect(nullptr, clipTo, dc, window);
    ReleaseDC(clipTo ? clipTo : window->m_hWnd, dc);
    if (GetCapture() == window->m_hWnd) ReleaseCapture();
    return changed;
}

} // namespace vq
