#pragma once

#include "platform/gui/ControlTypes.h"

namespace vq {

// The "ListBox" class over a Qt list widget: strings with item data, single, multiple
// (LBS_MULTIPLESEL) or extended (LBS_EXTENDEDSEL) selection. A click, double-click or arrow key
// the user gives reports LBN_SELCHANGE (and LBN_DBLCLK) to the parent when the box has
// LBS_NOTIFY; selection changes made by messages report nothing. Owner-drawn boxes leave their items
// to the parent (WM_MEASUREITEM, WM_DRAWITEM).
LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vq
