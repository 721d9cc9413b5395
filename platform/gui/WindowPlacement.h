#pragma once

#include "platform/gui/WindowSystem.h"

#include <optional>

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

enum : UINT { SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3 };

// A minimised or maximised window reports the rectangle it was restored to last, and that state.
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
// Keeps the rectangle a window goes back to while it is minimised or maximised; null forgets it.
void SetRestoreRect(HWND window, const RECT* rect);
std::optional<RECT> GetRestoreRect(HWND window);
// Moves the window to the restore rectangle and shows or hides it as `showCmd` says.
BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);

} // namespace vq
