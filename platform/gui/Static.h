#pragma once

#include "platform/gui/ControlTypes.h"

namespace vq {

inline constexpr DWORD SS_LEFT = 0x0;
inline constexpr DWORD SS_CENTER = 0x1;
inline constexpr DWORD SS_RIGHT = 0x2;
inline constexpr DWORD SS_NOPREFIX = 0x80;
// A sunken one-pixel edge round the label: made a static edge of the window's frame.
inline constexpr DWORD SS_SUNKEN = 0x1000;

// The "Static" class: a label drawn by the window layer. In a dialog its mnemonic gives the focus
// to the control that follows it.
LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vq
