#pragma once

#include "platform/gui/ControlTypes.h"
#include "platform/gui/GdiObject.h"
#include "platform/gui/Hooks.h"
#include "platform/res/MenuFlags.h"

#include <cstdint>
#include <span>

namespace vq {

struct MenuRecord;
using HMENU = MenuRecord*;

enum : UINT {
    TPM_LEFTALIGN = 0x0,
    TPM_LEFTBUTTON = 0x0,
    TPM_RIGHTBUTTON = 0x2,
    TPM_NONOTIFY = 0x80,
    TPM_RETURNCMD = 0x100
};
enum : int { MNC_IGNORE = 0, MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3 };

// What a MENUITEMINFO carries in or out.
enum : UINT {
    MIIM_STATE = 0x01,
    MIIM_ID = 0x02,
    MIIM_SUBMENU = 0x04,
    MIIM_CHECKMARKS = 0x08,
    MIIM_TYPE = 0x10,
    MIIM_DATA = 0x20
};
enum : UINT { MFT_STRING = 0x0, MFT_BITMAP = 0x4, MFT_OWNERDRAW = 0x100, MFT_SEPARATOR = 0x800 };
enum : UINT {
    MFS_GRAYED = 0x3,
    MFS_CHECKED = 0x8,
    MFS_HILITE = 0x80,
    MFS_DEFAULT = 0x1000
};
enum : UINT { GMDI_USEDISABLED = 0x1 };
// The system's own check mark and radio dot bitmaps.
inline constexpr std::uint32_t OBM_CHECK = 32760;
inline constexpr std::uint32_t OBM_RADIO_DOT = 32739;

// One item's type, state, id, popup, check-mark bitmaps, item data and text. A string item's text
// is copied into dwTypeData (cch bytes with the terminator; cch comes back as the text's length);
// with no buffer only the length comes back. Setting MFT_STRING takes the text from dwTypeData.
struct MENUITEMINFO {
    UINT cbSize = sizeof(MENUITEMINFO);
    UINT fMask = 0;
    UINT fType = 0;
    UINT fState = 0;
    UINT wID = 0;
    HMENU hSubMenu = nullptr;
    HBITMAP hbmpChecked = nullptr;
    HBITMAP hbmpUnchecked = nullptr;
    std::uintptr_t dwItemData = 0;
    char* dwTypeData = nullptr;
    UINT cch = 0;
};

inline constexpr UINT WM_INITMENU = 0x0116;
inline constexpr UINT WM_INITMENUPOPUP = 0x0117;
inline constexpr UINT WM_MENUSELECT = 0x011F;
inline constexpr UINT WM_MENUCHAR = 0x0120;
inline constexpr UINT WM_ENTERMENULOOP = 0x0211;
inline constexpr UINT WM_EXITMENULOOP = 0x0212;

// Menus drawn and tracked by the window layer itself. Items are addressed by command id or, with
// MF_BYPOSITION, by position; an owner-drawn item's "text" is its item data.
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
BOOL AppendMenu(HMENU menu, UINT flags, std::uintptr_t idOrPopup, const char* text);
// Replaces an item (by command or by position) with what AppendMenu would have made.
BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, std::uintptr_t idOrPopup, const char* text);
// Puts a new item before the one at `position` (by command, or with MF_BYPOSITION by position;
// a position past the end appends).
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, std::uintptr_t idOrPopup, const char* text);
// A menu from a menu template (its top level holds the popups); null when malformed.
HMENU LoadMenuIndirect(std::span<const unsigned char> bytes);
// The menu resource of that id; null when there is none or it is malformed.
HMENU LoadMenu(std::uint32_t id);
// Removes an item (a popup with its menu); FALSE when there is none.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
// The window's own copy of the system menu (restore, move, size, minimise, maximise, close),
// made at the first call and kept until the window goes; with `revert` the copy is made anew.
HMENU GetSystemMenu(HWND window, BOOL revert);
// Frees the window's copy of the system menu and forgets its menu bar; the window layer calls it
// as the window goes.
void DestroySystemMenu(HWND window);
// The menu of a top-level window's menu bar. The caller keeps the menu: frames swap menus that
// document types share, so a window going never destroys the one it shows.
BOOL SetMenu(HWND window, HMENU menu);
HMENU GetMenu(HWND window);
BOOL DrawMenuBar(HWND window);
// Where an item lies on the screen: on the window's menu bar, or in a popup while it is open.
BOOL GetMenuItemRect(HWND window, HMENU menu, UINT position, RECT* out);
// The window layer's own use: the bar's row below a top-level window's caption (screen
// coordinates, empty without a menu), its painting and hit testing in window coordinates, and
// the press on an item, which drops its popup and sends the chosen command as WM_COMMAND.
RECT MenuBarRect(HWND window);
void PaintMenuBar(HWND window, HDC dc, const RECT& bar);
int MenuBarItemAt(HWND window, const RECT& bar, POINT at);
void TrackMenuBarItem(HWND window, int index);
// The keyboard's way into the bar (WM_SYSCOMMAND SC_KEYMENU): a mnemonic drops the popup of its
// item with the first entry selected; without one (Alt alone) the first item is highlighted and
// Left, Right, Down, Enter and Escape work the bar.
void TrackMenuBarByKeyboard(HWND window, char mnemonic);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
// `byPosition` addresses the item by position, else by command; FALSE when there is none.
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info);
// The bitmaps drawn for the unchecked and checked item; they stay the caller's.
BOOL SetMenuItemBitmaps(HMENU menu, UINT item, UINT flags, HBITMAP unchecked, HBITMAP checked);
// The default item's command (or position), -1 when there is none, or it is disabled and
// GMDI_USEDISABLED is not given. Setting -1 clears it.
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);

// A popup opening gets WM_INITMENUPOPUP with its position in the low word of lParam and TRUE in the
// high word when it is a window's system menu. While tracked, the selected item has MF_HILITE.
// Shows the popup at the screen point and runs the tracking loop until an item is chosen or the
// menu is dismissed (Escape at the top, a press outside — left queued for the window under it —
// or WM_CANCELMODE). The chosen command is posted to the owner as WM_COMMAND, or returned with
// TPM_RETURNCMD; without it the answer is TRUE once the menu was tracked, chosen or not.
BOOL TrackPopupMenu(HMENU menu, UINT flags, std::int32_t x, std::int32_t y, int reserved, HWND owner,
                    const RECT* ignored);
// Ends the menu being tracked without a command; FALSE when none is.
BOOL EndMenu();

} // namespace vq
