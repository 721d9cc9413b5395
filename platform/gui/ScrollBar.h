#pragma once

#include "platform/gui/WindowScrollBar.h"

namespace vq {

// The "ScrollBar" class over a Qt scroll bar. The bar never moves its own thumb: it reports what
// the user does (SB_* codes in WM_HSCROLL or WM_VSCROLL, the bar's window as lParam) and the
// owner sets the position. While the thumb is dragged it follows the pointer and reports
// SB_THUMBTRACK; on release SB_THUMBPOSITION, then SB_ENDSCROLL, and it shows the owner's position.
LRESULT ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// For SB_CTL the bar's own window; SB_HORZ and SB_VERT keep the values of a window's own bars.
int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info);
int SetScrollPos(HWND window, int bar, int position, BOOL redraw);
int GetScrollPos(HWND window, int bar);
BOOL SetScrollRange(HWND window, int bar, int minimum, int maximum, BOOL redraw);
BOOL GetScrollRange(HWND window, int bar, int* minimum, int* maximum);
// SB_HORZ, SB_VERT or SB_BOTH of a window, or the SB_CTL bar window itself.
BOOL ShowScrollBar(HWND window, int bar, BOOL show);
// Switches arrows (ESB_*) of a window's bars off or on; a bar control goes off or on as a whole.
// False when nothing changed.
BOOL EnableScrollBar(HWND window, int bar, UINT arrows);

} // namespace vq
