#pragma once

#include "platform/gui/ControlTypes.h"

namespace vq {

// The class name of the window system's up-down controls.
inline constexpr const char* UPDOWN_CLASS = "msctls_updown32";

// Up-down styles: the position is shown in the buddy as a decimal number; the window before the
// control in the sibling order becomes its buddy when it is made; the up and down keys in the
// buddy step the position.
inline constexpr DWORD UDS_SETBUDDYINT = 0x0002;
inline constexpr DWORD UDS_AUTOBUDDY = 0x0010;
inline constexpr DWORD UDS_ARROWKEYS = 0x0020;

// The 16-bit bounds.
inline constexpr int UD_MAXVAL = 0x7FFF;
inline constexpr int UD_MINVAL = -UD_MAXVAL;

// UDM_SETRANGE takes MAKELPARAM(upper, lower), the upper bound in the low word, and UDM_GETRANGE
// answers the same way; UDM_SETRANGE32 takes the lower bound in wParam and the upper in lParam.
// The up arrow moves toward the upper bound, which may be the smaller. UDM_SETPOS and
// UDM_SETPOS32 clamp to the range and answer the old position. UDM_GETPOS32 first reads a
// UDS_SETBUDDYINT buddy: a number outside the range is clamped, any other text keeps the
// position, and either sets the BOOL its lParam points at (UDM_GETPOS: the high word).
inline constexpr UINT UDM_SETRANGE = WM_USER + 101;
inline constexpr UINT UDM_GETRANGE = WM_USER + 102;
inline constexpr UINT UDM_SETPOS = WM_USER + 103;
inline constexpr UINT UDM_GETPOS = WM_USER + 104;
inline constexpr UINT UDM_SETBUDDY = WM_USER + 105;
inline constexpr UINT UDM_GETBUDDY = WM_USER + 106;
inline constexpr UINT UDM_SETRANGE32 = WM_USER + 111;
inline constexpr UINT UDM_GETRANGE32 = WM_USER + 112;
inline constexpr UINT UDM_SETPOS32 = WM_USER + 113;
inline constexpr UINT UDM_GETPOS32 = WM_USER + 114;

// The "msctls_updown32" class, drawn by the window layer: an up arrow over a down arrow, drawn as
// scroll arrows are, the held one pushed. A press steps the position once, then again and again on
// the layer's timers while held on the arrow; each step the user makes (by pointer or, with
// UDS_ARROWKEYS, by the buddy's arrow keys) reports WM_VSCROLL (SB_THUMBPOSITION with the
// position's low 16 bits) to the parent, the release SB_ENDSCROLL. Changes made by messages report
// nothing.
LRESULT UpDownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vq
