#pragma once

#include "platform/gui/ControlTypes.h"

namespace vq {

// The "Button" class: push, default push, check box, radio button, group box and owner-drawn
// buttons drawn by the window layer. A press captures the pointer and shows the button pushed
// while the pointer is inside; the release inside (or the space bar's key-up) reports
// BN_CLICKED to the parent. Owner-drawn buttons ask their parent to draw through WM_DRAWITEM.
LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vq
