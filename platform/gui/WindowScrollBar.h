#pragma once

#include "platform/gui/ControlTypes.h"

namespace vq {

struct WindowRecord;

// The parts of a scroll bar, from its start (top or left) to its end.
enum class ScrollBarPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

// Arrows EnableScrollBar switches off, and SB_BOTH for both of a window's own bars.
enum : UINT { ESB_ENABLE_BOTH = 0, ESB_DISABLE_LTUP = 1, ESB_DISABLE_RTDN = 2, ESB_DISABLE_BOTH = 3 };
inline constexpr int SB_BOTH = 3;

// One of a window's own bars, which the window layer draws in the non-client area. Shown while
// the window has WS_HSCROLL or WS_VSCROLL. Like the scroll-bar control it never moves its own
// thumb: a press reports SB_* codes to the window (WM_HSCROLL or WM_VSCROLL, lParam 0) and the
// window sets the position.
struct WindowScrollBar {
    SCROLLINFO info;
    UINT disabledArrows = ESB_ENABLE_BOTH;
    // What a press holds while it is tracked, and whether the pointer is still over it.
    ScrollBarPart pressed = ScrollBarPart::None;
    bool pressedInside = false;
    // While the thumb is dragged it is drawn at the tracking position.
    bool thumbTracking = false;
};

// The client rectangle (window coordinates) less the bars the window shows.
RECT ReserveScrollBars(const WindowRecord& record, RECT client);
// A bar's rectangle in window coordinates, empty when the window does not show it.
RECT ScrollBarRect(const WindowRecord& record, int bar);
// HTHSCROLL, HTVSCROLL, HTGROWBOX (the corner between two bars) or HTNOWHERE.
int HitTestScrollBars(const WindowRecord& record, POINT window);
// Draws the bars and the corner between them into a context on the whole window.
void DrawScrollBars(const WindowRecord& record, HDC windowDc);
// Runs the press on a bar at the screen point until the button is released or the capture lost.
void TrackScrollBar(HWND window, int bar, POINT screen);

int SetWindowScrollInfo(HWND window, int bar, const SCROLLINFO& info, BOOL redraw);
BOOL GetWindowScrollInfo(HWND window, int bar, SCROLLINFO* info);
BOOL ShowWindowScrollBar(HWND window, int bar, BOOL show);
BOOL EnableWindowScrollBar(HWND window, int bar, UINT arrows);

} // namespace vq
