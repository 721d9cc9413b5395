#pragma once

#include "platform/classlib/RectTracker.h"

namespace vq {

// The tracker of a tool bar's button drag: a hatched frame on the desktop, as thick as the
// handles less one.
class TkToolBarRectTracker : public CRectTracker {
public:
    explicit TkToolBarRectTracker(const RECT& rect) : CRectTracker(rect, hatchedBorder) {}

    void DrawTrackerRect(const RECT* rect, HWND clipTo, HDC dc, CWnd* window) override;
    // Moves the whole rectangle with the pointer, drawn over every window.
    BOOL TrackFromMiddle(CWnd* window, POINT point);
};

} // namespace vq
