#pragma once

#include "platform/gui/ControlTypes.h"
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
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);

// Shows the popup at the screen point and runs the tracking loop until an item is chosen or the
// menu is dismissed (Escape at the top, a press outside — left queued for the window under it —
// or WM_CANCELMODE). The chosen command is posted to the owner as WM_COMMAND, or returned with
// TPM_RETURNCMD; without it the answer is TRUE once the menu was tracked, chosen or not.
BOOL TrackPopupMenu(HMENU menu, UINT flags, std::int32_t x, std::int32_t y, int reserved, HWND owner,
                    const RECT* ignored);
// Ends the menu being tracked without a command; FALSE when none is.
BOOL EndMenu();

} // namespace vq
