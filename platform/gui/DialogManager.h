#pragma once

#include "platform/gui/ControlTypes.h"

namespace vq {

// Sent once a dialog's controls exist; TRUE asks for the focus on the first tab stop.
inline constexpr UINT WM_INITDIALOG = 0x0110;
// Posted to a dialog to move the focus: with a nonzero low word of lParam to the control whose
// window is wParam, else to the next tab stop after the focus (the previous one when wParam is
// nonzero).
inline constexpr UINT WM_NEXTDLGCTL = 0x0028;
inline constexpr UINT DM_GETDEFID = WM_USER + 0;
inline constexpr UINT DM_SETDEFID = WM_USER + 1;
inline constexpr UINT DC_HASDEFID = 0x534B;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr DWORD WS_GROUP = 0x00020000;

// The average character width and height of the system's dialog font, as the low and high word:
// 8 x 16. Dialog units are a quarter of the width and an eighth of the height.
DWORD GetDialogBaseUnits();

// Keyboard navigation among a dialog's controls. Tab stops are the visible, enabled children with
// WS_TABSTOP in sibling order, where a visible, enabled child with WS_EX_CONTROLPARENT (a child
// dialog) stands for its own tab stops in their order; a group runs from a WS_GROUP control to the
// next one among the children of one window.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
// What a dialog does with WM_NEXTDLGCTL.
void NextDlgCtl(HWND dialog, WPARAM wParam, LPARAM lParam);

// Gives a control of the dialog the focus as the dialog keys do: a push button that takes it shows
// as the default one, and the dialog's default button gets that look back when anything else does.
void FocusDlgControl(HWND dialog, HWND control);

// Takes a message meant for the dialog or one of its controls and handles the dialog keys (Tab,
// arrows, Enter, Escape, mnemonics) unless the control asks for them through WM_GETDLGCODE;
// anything else is dispatched. FALSE for a message the dialog has nothing to do with.
BOOL IsDialogMessage(HWND dialog, MSG* msg);

} // namespace vq
