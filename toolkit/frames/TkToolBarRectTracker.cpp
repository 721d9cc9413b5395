#include "toolkit/frames/TkToolBarRectTracker.h"

#include "platform/gui/Desktop.h"
#include "platform/gui/DragRect.h"

#include <algorithm>

namespace vq {

void TkToolBarRectTracker::DrawTrackerRect(const RECT* rect, HWND clipTo, HDC dc, CWnd* window) {
    RECT r{};
    if (rect) {
        r = *rect;
        if (r.right < r.left) std::swap(r.left, r.right);
        if (r.bottom < r.top) std::swap(r.top, r.bottom);
        if (clipTo)
            MapWindowPoints(window->m_hWnd, clipTo == GetDesktopWindow() ? 0 : clipTo,
                            reinterpret_cast<POINT*>(&r), 2);
    }
    const std::int32_t thickness = std::max(1, m_nHandleSize - 1);
    const SIZE size{thickness, thickness};
    // The last call only takes the previous frame away.
    DrawDragRect(dc, (m_bFinalErase || !rect) ? nullptr : &r, size, m_bErase ? &m_rectLast : nullptr,
                 m_sizeLast);
    m_rectLast = r;
    m_sizeLast = size;
}

BOOL TkToolBarRectTracker::TrackFromMiddle(CWnd* window, POINT point) {
    m_bAllowInvert = FALSE;
    return TrackHandle(hitMiddle, window, point, GetDesktopWindow());
}

} // namespace vq
