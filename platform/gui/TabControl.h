#pragma once

#include "platform/gui/ControlTypes.h"

namespace vq {

// The class name of the window system's tab controls.
inline constexpr const char* WC_TABCONTROL = "SysTabControl32";

// A click on a tab gives the control the focus.
inline constexpr DWORD TCS_FOCUSONBUTTONDOWN = 0x1000;

inline constexpr UINT TCM_FIRST = 0x1300;
inline constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4;
inline constexpr UINT TCM_GETITEM = TCM_FIRST + 5;
inline constexpr UINT TCM_INSERTITEM = TCM_FIRST + 7;
inline constexpr UINT TCM_DELETEITEM = TCM_FIRST + 8;
inline constexpr UINT TCM_GETITEMRECT = TCM_FIRST + 10;
inline constexpr UINT TCM_GETCURSEL = TCM_FIRST + 11;
inline constexpr UINT TCM_SETCURSEL = TCM_FIRST + 12;
inline constexpr UINT TCM_ADJUSTRECT = TCM_FIRST + 40;

// The parts of a TCITEM that count.
inline constexpr UINT TCIF_TEXT = 0x0001;
inline constexpr UINT TCIF_IMAGE = 0x0002;
inline constexpr UINT TCIF_PARAM = 0x0008;

// One tab. The text is copied when the tab is inserted; TCM_GETITEM copies it into pszText, at
// most cchTextMax bytes with the terminator.
struct TCITEM {
    UINT mask = 0;
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = -1;
    LPARAM lParam = 0;
};

// Notifications, as WM_NOTIFY with an NMHDR, of a selection the user makes by mouse or arrow key.
// TCN_SELCHANGING comes first: a nonzero answer keeps the selected tab. TCM_SETCURSEL sends
// neither.
inline constexpr UINT TCN_FIRST = UINT(-550);
inline constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1;
inline constexpr UINT TCN_SELCHANGING = TCN_FIRST - 2;

// The "SysTabControl32" class, drawn by the window layer: one row of tabs along the top over a
// raised body. TCM_ADJUSTRECT turns a window rectangle into the body's display area (wParam
// FALSE) or a display area into the window rectangle it needs (TRUE).
LRESULT TabControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vq
