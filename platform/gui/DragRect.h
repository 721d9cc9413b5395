#pragma once

#include "platform/gui/WindowSystem.h"

namespace vq {

// The brush of every other pixel, which drag frames are inverted with so that they show on any
// background. Made once; never deleted.
HBRUSH GetHalftoneBrush();

// Moves an inverted frame: the frame of `last` (thickness `lastSize`) is inverted away, then the
// frame of `rect` (thickness `size`) inverted in, so drawing the same frame twice leaves the
// pixels as they were. Null rectangles draw or erase nothing; a null brush means the halftone
// brush, and `lastBrush` (null: the same as `brush`) erases.
void DrawDragRect(HDC dc, const RECT* rect, SIZE size, const RECT* last, SIZE lastSize,
                  HBRUSH brush = nullptr, HBRUSH lastBrush = nullptr);

} // namespace vq
