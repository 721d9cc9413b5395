#pragma once

#include "platform/gui/ControlTypes.h"

namespace vq {

// The class name of the window system's status controls.
inline constexpr const char* STATUSCLASSNAME = "msctls_statusbar32";

// A size grip in the bottom-right corner, which answers hit tests as the window's corner.
inline constexpr DWORD SBARS_SIZEGRIP = 0x0100;

// Common control styles a status control accepts: its owner places and sizes it.
inline constexpr DWORD CCS_NOMOVEY = 0x0002;
inline constexpr DWORD CCS_NORESIZE = 0x0004;
inline constexpr DWORD CCS_NOPARENTALIGN = 0x0008;
inline constexpr DWORD CCS_NODIVIDER = 0x0040;

// How a part's text is drawn, in the high byte of SB_SETTEXT's wParam: without an edge, raised,
// or by the parent (WM_DRAWITEM with the part's index as itemID and SB_SETTEXT's lParam as
// itemData).
inline constexpr UINT SBT_NOBORDERS = 0x0100;
inline constexpr UINT SBT_POPOUT = 0x0200;
inline constexpr UINT SBT_OWNERDRAW = 0x1000;

// SB_SETPARTS takes the count and an array of right edges (-1: to the end of the control);
// SB_GETPARTS fills up to wParam edges and answers the count. SB_SETTEXT takes the part OR'ed with
// its drawing type and the text (or, owner-drawn, any value); SB_GETTEXT and SB_GETTEXTLENGTH
// answer the length in the low word and the type in the high word. SB_GETBORDERS fills three
// ints: the horizontal and vertical border and the spacing between parts. SB_GETRECT fills the
// part's rectangle (FALSE for a part that does not exist).
inline constexpr UINT SB_SETTEXT = WM_USER + 1;
inline constexpr UINT SB_GETTEXT = WM_USER + 2;
inline constexpr UINT SB_GETTEXTLENGTH = WM_USER + 3;
inline constexpr UINT SB_SETPARTS = WM_USER + 4;
inline constexpr UINT SB_GETPARTS = WM_USER + 6;
inline constexpr UINT SB_GETBORDERS = WM_USER + 7;
inline constexpr UINT SB_SETMINHEIGHT = WM_USER + 8;
inline constexpr UINT SB_GETRECT = WM_USER + 10;

// At most this many parts: the window system's own limit.
inline constexpr int kMaxStatusParts = 256;

// The "msctls_statusbar32" class, drawn by the window layer: on the face colour, each part in a
// sunken edge (raised for SBT_POPOUT, none for SBT_NOBORDERS) with its text left in it, and the
// size grip's diagonal ridges. It does not place itself: its owner does (CCS_NORESIZE).
LRESULT StatusBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vq
