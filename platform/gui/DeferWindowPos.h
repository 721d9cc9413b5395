#pragma once

#include "platform/gui/WindowSystem.h"

#include <vector>

namespace vq {

// Positions gathered for windows that move together: all of them move before any hears of it, so
// each sees its siblings already in their new places, and each repaints once afterwards.
struct DeferredPositions {
    std::vector<WINDOWPOS> entries;
};
using HDWP = DeferredPositions*;

// A batch with room reserved for that many windows; null for a negative count.
HDWP BeginDeferWindowPos(int count);
// Adds the window's new position to the batch, replacing one the batch already holds for it.
// Null, and the batch freed, when the window or the batch is not valid.
HDWP DeferWindowPos(HDWP batch, HWND window, HWND insertAfter, std::int32_t x, std::int32_t y,
                    std::int32_t cx, std::int32_t cy, UINT flags);
// Moves every window of the batch (a window destroyed meanwhile is skipped), then sends each its
// WM_WINDOWPOSCHANGED in the order they were added, then paints them; frees the batch.
BOOL EndDeferWindowPos(HDWP batch);

} // namespace vq
