#pragma once

#include "platform/gui/WindowSystem.h"

#include <cstdint>

namespace vq {

// Small drawing steps the frame classes share.
void FillSolid(HDC dc, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, COLORREF colour);
// Top and left edges in one colour, right and bottom in the other.
void Draw3dRect(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight);

enum class TkArrow { Left, Right, Up, Down };
// The gripper's buttons: a caption close box and a scroll arrow, as the window system draws them.
void DrawCloseGlyphButton(HDC dc, const RECT& r, BOOL pushed);
void DrawArrowButton(HDC dc, const RECT& r, TkArrow arrow, BOOL pushed, BOOL inactive);

// Redraws a window's frame and erases and repaints its client area.
void RedrawWindowFrame(HWND window);

} // namespace vq
