#pragma once

#include "platform/gui/Menu.h"
#include "platform/gui/WindowSystem.h"

namespace vq {

// Messages of the multiple-document client, the window that holds a frame's document windows.
inline constexpr UINT WM_MDICREATE = 0x0220;
inline constexpr UINT WM_MDIDESTROY = 0x0221;
inline constexpr UINT WM_MDIACTIVATE = 0x0222;
inline constexpr UINT WM_MDIRESTORE = 0x0223;
inline constexpr UINT WM_MDINEXT = 0x0224;
inline constexpr UINT WM_MDIMAXIMIZE = 0x0225;
inline constexpr UINT WM_MDITILE = 0x0226;
inline constexpr UINT WM_MDICASCADE = 0x0227;
inline constexpr UINT WM_MDIICONARRANGE = 0x0228;
inline constexpr UINT WM_MDIGETACTIVE = 0x0229;
inline constexpr UINT WM_MDISETMENU = 0x0230;
inline constexpr UINT WM_MDIREFRESHMENU = 0x0234;


// The first id the window menu's list of open windows uses.
inline constexpr UINT kFirstMdiChildId = 0xFF00;
// Window-list entries beyond this many are left out of the menu.
inline constexpr UINT kMdiWindowListLength = 9;
enum : UINT { SC_NEXTWINDOW = 0xF040 };

// lpCreateParams of the client's creation.
struct CLIENTCREATESTRUCT {
    HMENU hWindowMenu = nullptr;
    UINT idFirstChild = kFirstMdiChildId;
};

// lParam of WM_MDICREATE; the child's creation parameter points at it.
struct MDICREATESTRUCT {
    const char* szClass = nullptr;
    const char* szTitle = nullptr;
    std::int32_t x = CW_USEDEFAULT;
    std::int32_t y = CW_USEDEFAULT;
    std::int32_t cx = CW_USEDEFAULT;
    std::int32_t cy = CW_USEDEFAULT;
    DWORD style = 0;
    LPARAM lParam = 0;
};

// The class name of the client ("MDICLIENT"), registered at the first call.
const char* MdiClientClassName();

// Default handling of a frame that holds an MDI client: choosing a window-list entry activates
// that child.
LRESULT DefFrameProc(HWND frame, HWND client, UINT message, WPARAM wParam, LPARAM lParam);
// Default handling of an MDI child: activation, closing, minimising, maximising, restoring.
LRESULT DefMDIChildProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
// Ctrl+F4 closes and Ctrl+F6 activates the next child of the client; TRUE when taken.
BOOL TranslateMDISysAccel(HWND client, const MSG* msg);

BOOL IsZoomed(HWND window);
BOOL IsIconic(HWND window);

} // namespace vq
