#pragma once

#include "platform/gui/WindowSystem.h"

namespace vq {

// Where a window stands when shown normally, and how it is shown. Callers fill `length` with the
// structure's size; a record of any other length is refused.
struct WINDOWPLACEMENT {
    UINT length = 0;
    UINT flags = 0;
    UINT showCmd = 0;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    // The restore rectangle, in the parent's client coordinates for a child, on the screen
    // otherwise.
    RECT rcNormalPosition;
};
static_assert(sizeof(WINDOWPLACEMENT) == 44);

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
// Moves the window to the restore rectangle and shows or hides it as `showCmd` says.
BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);

} // namespace vq
