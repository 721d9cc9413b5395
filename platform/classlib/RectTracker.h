#pragma once

#include "platform/classlib/Wnd.h"

namespace vq {

// A rectangle the user moves or sizes by the pointer, drawn as an inverted frame while tracked.
class CRectTracker {
public:
    enum StyleFlags : UINT {
        solidLine = 1,
        dottedLine = 2,
        hatchedBorder = 4,
        resizeInside = 8,
        resizeOutside = 16,
        hatchInside = 32,
    };
    // What a point of the rectangle is: a corner, a side or the middle.
    enum TrackerHit : int {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight,
        hitBottomRight,
        hitBottomLeft,
        hitTop,
        hitRight,
        hitBottom,
        hitLeft,
        hitMiddle
    };

    CRectTracker(const RECT& rect, UINT style) : m_rect(rect), m_nStyle(style) {}
    virtual ~CRectTracker() = default;

    RECT m_rect;
    UINT m_nStyle;
    int m_nHandleSize = 4;
    BOOL m_bAllowInvert = TRUE;

    // Tracks the part `hit` of the rectangle from `point` (client coordinates of `window`) until the
    // button goes up (TRUE when the rectangle changed) or Esc, the right button or a quit cancel
    // it. Drawn on `clipTo`'s context (the desktop's with GetDesktopWindow()) or the window's.
    // FALSE at once while another window holds the capture.
    BOOL TrackHandle(int hit, CWnd* window, POINT point, HWND clipTo);
    // Draws the rectangle (client coordinates of `window`) in the tracking frame, erasing the
    // last one; with a null rectangle erases only.
    virtual void DrawTrackerRect(const RECT* rect, HWND clipTo, HDC dc, CWnd* window);
    // The thickness of the frame drawn last.
    SIZE LastSize() const { return m_sizeLast; }

protected:
    RECT m_rectLast{};
    SIZE m_sizeLast{};
    BOOL m_bErase = FALSE;
    BOOL m_bFinalErase = FALSE;
};

} // namespace vq
