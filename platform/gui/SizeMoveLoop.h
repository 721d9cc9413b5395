#pragma once

#include "platform/gui/WindowSystem.h"

namespace vq {

// Moves (SC_MOVE) or sizes (SC_SIZE) a window by its frame, live, until the button is released,
// Enter is pressed or the capture is lost; Escape puts the window back where it was. The window
// hears WM_ENTERSIZEMOVE, WM_GETMINMAXINFO (whose tracking sizes bound the size), WM_MOVING or
// WM_SIZING before every change (and may change the rectangle), and WM_EXITSIZEMOVE at the end.
// A command the pointer started carries its hit code in its low four bits and the press's screen
// point in `point`; one from the keyboard carries neither and follows the arrow keys (the first
// of which picks the edge to size) as well as the pointer.
void RunSizeMoveLoop(HWND window, UINT command, LPARAM point);

} // namespace vq
