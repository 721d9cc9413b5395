#pragma once

#include "platform/gui/ControlTypes.h"

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

} // namespace vq
